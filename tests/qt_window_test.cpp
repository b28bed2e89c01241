// The native window's wiring, on Qt's offscreen platform: keys as a user presses them (access
// keys, typing, Tab, Enter, Up), clicks and wheel turns, then the fields' texts, the IP field's
// enabled state and the beeps. The rules themselves are tested beneath (converter_rules_test);
// the settings file's reading and writing where the program really ends (qt_wayland_test.sh).
#include "qt/converter_window.h"
#include "qt/options_file.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void actions_data();
    void actions();
    void unwritable();

private:
    QTemporaryDir m_config;  // the settings file's folder, the user's own left alone
};

void WindowTest::initTestCase() {
    QCoreApplication::setOrganizationName("Holvanta");
    QCoreApplication::setApplicationName("Quendrix");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
}

namespace {

// Plays one word of a row: "Alt+H" an access key, "'0x41" typed text, "Tab", "Enter", "Up",
// "Char" a click on that button, "wheel+120" a wheel turn over the window.
void Play(ConverterWindow& window, const QString& word) {
    QWidget* focus = QApplication::focusWidget();
    if (word.startsWith("Alt+")) {
        QTest::keyClick(&window, word.at(4).toLower().toLatin1(), Qt::AltModifier);
    } else if (word.startsWith('\'')) {
        // Each character as a key that types it, whatever the keyboard's layout.
        for (QChar c : word.mid(1)) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, c), release(QEvent::KeyRelease, 0, Qt::NoModifier, c);
            QApplication::sendEvent(focus, &press);
            QApplication::sendEvent(focus, &release);
        }
    } else if (word.startsWith("wheel")) {
        const QPoint at = window.rect().center();
        QWheelEvent wheel(at, window.mapToGlobal(at), {}, {0, word.mid(5).toInt()}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(window.childAt(at) ? window.childAt(at) : &window, &wheel);
    } else if (word == "Tab" || word == "Enter" || word == "Up") {
        QTest::keyClick(focus, word == "Tab" ? Qt::Key_Tab : word == "Enter" ? Qt::Key_Return : Qt::Key_Up);
    } else {
        for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
            if (button->accessibleName() == word) QTest::mouseClick(button, Qt::LeftButton);
    }
}

// A field's text as the user sees it: "(disabled)" when it cannot be used.
QString Shown(ConverterWindow& window, const char* name) {
    for (QLineEdit* edit : window.findChildren<QLineEdit*>())
        if (edit->accessibleName() == QLatin1String(name)) return edit->isEnabled() ? edit->text() : "(disabled)";
    return "(no field)";
}

}  // namespace

void WindowTest::actions_data() {
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("dec");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QString>("focus");  // the field with the focus at the end

    QTest::newRow("typed into Hex, then Tab") << "Alt+H '0x41424344 Tab" << "1094861636" << "41424344" << "ABCD"
                                              << "65.66.67.68" << 0 << "Text";
    QTest::newRow("Enter commits in place") << "'255 Enter" << "255" << "FF" << "\u00FF" << "0.0.0.255" << 0 << "Dec";
    QTest::newRow("a refused text beeps and the value shows again")
        << "'12x Tab" << "0" << "0" << "" << "0.0.0.0" << 1 << "Hex";
    QTest::newRow("a comma typed into IP is a dot") << "Alt+I '65,66,67,68 Enter" << "1094861636" << "41424344"
                                                    << "ABCD" << "65.66.67.68" << 0 << "IP";
    QTest::newRow("Text takes Windows-1252 and refuses what it has not")
        << "Alt+T '\u20AC\u00E9 Enter '\u03A9 Tab" << "33001" << "80E9" << "\u20AC\u00E9" << "0.0.128.233" << 1
        << "IP";
    QTest::newRow("Up in a field commits the typing, then steps") << "'41 Up" << "42" << "2A" << "*" << "0.0.0.42" << 0
                                                                  << "Dec";
    QTest::newRow("the wheel steps anywhere over the window, once a notch")
        << "'64 wheel+60 wheel+60 wheel-120 wheel-120" << "63" << "3F" << "?" << "0.0.0.63" << 0 << "Dec";
    QTest::newRow("Char narrows the fields and disables IP") << "'-2 Enter Char" << "-2" << "FE" << "\u00FE"
                                                             << "(disabled)" << 0 << "";
    QTest::newRow("Clear empties a field as it is entered") << "'65 Clear Alt+D" << "" << "41" << "A" << "0.0.0.65"
                                                            << 0 << "Dec";
}

void WindowTest::actions() {
    QFETCH(QString, words);
    ConverterWindow window;
    int beeps = 0;
    window.beep = [&beeps] { ++beeps; };
    window.Start();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    for (const QString& word : words.split(' ')) Play(window, word);

    QTEST(Shown(window, "Dec"), "dec");
    QTEST(Shown(window, "Hex"), "hex");
    QTEST(Shown(window, "Text"), "text");
    QTEST(Shown(window, "IP"), "ip");
    QTEST(beeps, "beeps");
    QWidget* focus = QApplication::focusWidget();
    QTEST(focus && qobject_cast<QLineEdit*>(focus) ? focus->accessibleName() : QString(), "focus");
}

void WindowTest::unwritable() {
    // The file's folder cannot be made: a file stands where it would be.
    QSettings().clear();
    const QString folder = QFileInfo(QSettings().fileName()).absolutePath();
    QDir(folder).removeRecursively();
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Settings options = kDefaultSettings;
    options.bSaveOnExit = 1;
    OptionsFile file;
    QVERIFY(!file.Save(options));
    QVERIFY(!file.Save(options));  // tried again, not taken as saved
    QFile::remove(folder);
    QVERIFY(file.Save(options));
}

QTEST_MAIN(WindowTest)
#include "qt_window_test.moc"
