// The converter window on the Linux desktop: the five fields, the Mode group, the Up and Down pair
// and the colour swatch as Qt widgets, each user action handed to the converter's rules
// (CConverter), whose results come back through CConverterView.
#pragma once

#include "converter/converter.h"

#include <QByteArray>
#include <QDialog>

#include <functional>

class ColorSwatch;
class QAbstractButton;
class QLineEdit;
class QMenu;

class ConverterWindow final : public QDialog, private CConverterView {
    Q_OBJECT

public:
    explicit ConverterWindow(QWidget* parent = nullptr);

    // The options as loaded applied: the Mode group, tooltips, Stay on top. Call before showing.
    void Start();

    // The rules with the value and the options they own (the tests read them, the program loads
    // and saves the options).
    CConverter& Converter() { return m_converter; }

    // A refusal's sound: the desktop's bell unless a test listens instead.
    std::function<void()> beep;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Anywhere over the window, as the window's wheel handling does: at most one step a message.
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // CConverterView
    const char* ReadField(Field field) override;
    bool IsFieldModified(Field field) override;
    void WriteField(Field field, const char* text) override;
    void ShowColor(uint32_t rgb) override;
    void ShowMode(int32_t nSize, int32_t bSigned, int32_t bClear) override;
    void EnableIPAndColor(bool enable) override;
    void Refuse() override;

    void BuildLayout();
    void Connect();
    QLineEdit* FieldEdit(Field field) const { return m_fields[IndexOf(field)]; }
    int FieldOf(const QObject* object) const;  // -1 for none
    // The IP field's rewrite as the user types: every comma a dot, the caret where it was.
    void RewriteCommas();
    // Cut, Copy and Paste for a field (none: the window's background), then Settings and About.
    QMenu* CommandMenu(QLineEdit* edit);
    void EditCommand(QLineEdit* edit, void (QLineEdit::*command)());
    void CopyField(QLineEdit* edit);
    void ShowSettings();
    void ShowAbout();
    void ShowHelp();
    void ApplyToolTips();
    void ApplyStayOnTop();

    QLineEdit* m_fields[kFieldCount] = {};
    QAbstractButton* m_long = nullptr;
    QAbstractButton* m_word = nullptr;
    QAbstractButton* m_char = nullptr;
    QAbstractButton* m_signed = nullptr;
    QAbstractButton* m_clear = nullptr;
    QAbstractButton* m_up = nullptr;
    QAbstractButton* m_down = nullptr;
    ColorSwatch* m_swatch = nullptr;
    QByteArray m_read;  // the bytes ReadField gave out last
    Field m_lastRead = Field::Dec;  // the field they came from: a refusal is about it
    CConverter m_converter{*this};
};
