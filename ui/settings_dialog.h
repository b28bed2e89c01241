// The Settings dialog: the step increment, tooltips, stay on top and save on exit. The caller
// fills the fields before it opens and reads them back after it closes.
#pragma once

#include "platform/dialog.h"
#include "settings/settings.h"

#include <cstdint>

class CSettingsDlg : public CDialog {
public:
    CSettingsDlg();

    uint32_t m_nIncrement;
    int32_t m_bSaveOnExit;
    int32_t m_bToolTips;
    int32_t m_bStayOnTop;

    // The largest increment the dialog accepts.
    static constexpr uint32_t kMaxIncrement = ::kMaxIncrement;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
