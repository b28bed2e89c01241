// Refresh cost in the real window: one refresh of the fields against five bare SetWindowTextA calls
// writing the same texts into the same controls; and one full commit, typed text then the focus
// moving on, in microseconds.
#include "app/converter_app.h"
#include "res/resource.h"
#include "tests/support/ui_driver.h"
#include "ui/converter_dialog.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    constexpr int kRounds = 9, kCalls = 200;
    uitest::CleanOptions options;
    CConverterDlg dlg;
    theApp.m_pMainWnd = &dlg;
    std::vector<double> refresh, bare, commit;
    uitest::RunModal(dlg, [&](HWND h) {
        dlg.Converter().SetValue(0xC0A80001u);
        const int ids[] = {IDC_TEXT, IDC_DEC, IDC_HEX, IDC_IP, IDC_BIN};
        HWND fields[5];
        for (int i = 0; i < 5; ++i) fields[i] = GetDlgItem(h, ids[i]);
        const CNumber& number = dlg.Converter().Number();
        const char* texts[] = {number.GetText(), number.GetDec(), number.GetHex(), number.GetIP(), number.GetBin()};
        for (int round = 0; round < kRounds; ++round) {
            double t0 = Now();
            for (int i = 0; i < kCalls; ++i) dlg.Converter().Refresh();
            double t1 = Now();
            for (int i = 0; i < kCalls; ++i)
                for (int f = 0; f < 5; ++f) SetWindowTextA(fields[f], texts[f]);
            double t2 = Now();
            refresh.push_back((t1 - t0) / kCalls);
            bare.push_back((t2 - t1) / kCalls);
            uitest::Pump();  // let the swatch repaint between rounds
        }
        for (int i = 0; i < 50; ++i) {
            uitest::Key('D', uitest::kAlt);
            uitest::Type("123456");
            double t0 = Now();
            SetFocus(fields[2]);  // the focus moves on: kill-focus commits, refresh
            commit.push_back(Now() - t0);
        }
    });
    theApp.m_pMainWnd = nullptr;
    double r = Median(refresh), b = Median(bare);
    std::printf("refresh: the converter's Refresh %.2f us, five SetWindowTextA %.2f us, ratio %.3fx (target <= 1.3x)\n", r * 1e6,
                b * 1e6, r / b);
    std::printf("commit: typed text, then the focus moving on: %.1f us\n", Median(commit) * 1e6);
    return 0;
}
