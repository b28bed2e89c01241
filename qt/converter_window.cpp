#include "qt/converter_window.h"

#include "engine/text.h"
#include "qt/color_swatch.h"
#include "qt/settings_dialog.h"
#include "qt/strings.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>

#include <cstring>

namespace {

// A string of the resource script's table, by its name; the Windows program's texts.
QString String(const char* name) {
    for (const StringEntry& entry : kStrings)
        if (!std::strcmp(entry.name, name)) return QString::fromLatin1(entry.text);
    return {};
}

// The fields' labels, with the Windows window's access keys.
constexpr const char* kFieldLabels[kFieldCount] = {"&Dec:", "&Hex:", "&Text:", "&IP:", "&Bin:"};

// Bytes of the Text field, Windows-1252, shown and read as characters.
QString FromCp1252(const char* bytes) {
    const std::size_t length = std::strlen(bytes);
    QByteArray utf8(static_cast<qsizetype>(3 * length), '\0');
    utf8.truncate(text::Cp1252ToUtf8(bytes, length, utf8.data()) - utf8.data());
    return QString::fromUtf8(utf8);
}

}  // namespace

ConverterWindow::ConverterWindow(QWidget* parent) : QDialog(parent), beep([] { QApplication::beep(); }) {
    setWindowTitle(QStringLiteral("Quendrix"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    BuildLayout();
    Connect();
}

void ConverterWindow::BuildLayout() {
    // The fields on the left; the colour above the Mode group on the right, as in the Windows window.
    auto* grid = new QGridLayout;
    auto* right = new QVBoxLayout;
    auto* window = new QHBoxLayout(this);
    window->setSizeConstraint(QLayout::SetFixedSize);
    window->addLayout(grid);
    window->addLayout(right);
    const int rowOf[kFieldCount] = {0, 0, 1, 1, 2};
    const int columnOf[kFieldCount] = {0, 2, 0, 2, 0};
    for (int i = 0; i < kFieldCount; ++i) {
        auto* edit = new QLineEdit(this);
        auto* label = new QLabel(QString::fromLatin1(kFieldLabels[i]), this);
        label->setBuddy(edit);
        edit->setAccessibleName(QString::fromLatin1(kFieldForms[i].name));
        edit->setContextMenuPolicy(Qt::CustomContextMenu);
        m_fields[i] = edit;
        grid->addWidget(label, rowOf[i], columnOf[i]);
        grid->addWidget(edit, rowOf[i], columnOf[i] + 1, 1, static_cast<Field>(i) == Field::Bin ? 3 : 1);
    }
    // Room for the longest rendering of each field at width 4.
    const QFontMetrics metrics = fontMetrics();
    const char* widest[kFieldCount] = {"-2147483648", "FFFFFFFF", "WWWW", "255.255.255.255",
                                       "00000000 00000000 00000000 00000000"};
    for (int i = 0; i < kFieldCount; ++i)
        m_fields[i]->setMinimumWidth(metrics.horizontalAdvance(QLatin1String(widest[i])) +
                                     metrics.averageCharWidth() * 3);

    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    const int half = m_fields[0]->sizeHint().height() / 2;
    for (QToolButton* button : {up, down}) {
        button->setFixedSize(half + 4, half);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setToolTip(String("IDC_SPIN"));
    }
    up->setAccessibleName(tr("Up"));
    down->setAccessibleName(tr("Down"));
    m_up = up;
    m_down = down;
    auto* steps = new QVBoxLayout;
    steps->setSpacing(0);
    steps->addWidget(up);
    steps->addWidget(down);
    grid->addLayout(steps, 0, 4, Qt::AlignTop);
    grid->setRowStretch(3, 1);

    auto* mode = new QGroupBox(tr("Mode"), this);
    auto* modeGrid = new QGridLayout(mode);
    m_long = new QRadioButton(tr("&Long"), mode);
    m_word = new QRadioButton(tr("&Word"), mode);
    m_char = new QRadioButton(tr("&Char"), mode);
    m_signed = new QCheckBox(tr("&Signed"), mode);
    m_clear = new QCheckBox(tr("Cl&ear"), mode);
    modeGrid->addWidget(m_long, 0, 0);
    modeGrid->addWidget(m_word, 1, 0);
    modeGrid->addWidget(m_char, 2, 0);
    modeGrid->addWidget(m_signed, 0, 1);
    modeGrid->addWidget(m_clear, 1, 1);
    const std::pair<QAbstractButton*, const char*> named[] = {
        {m_long, "Long"}, {m_word, "Word"}, {m_char, "Char"}, {m_signed, "Signed"}, {m_clear, "Clear"}};
    for (const auto& [button, name] : named) button->setAccessibleName(tr(name));
    m_swatch = new ColorSwatch(this);
    auto* colorLabel = new QLabel(tr("Color:"), this);
    colorLabel->setBuddy(m_swatch);
    auto* color = new QHBoxLayout;
    color->addStretch();
    color->addWidget(colorLabel);
    color->addWidget(m_swatch);
    right->addLayout(color);
    right->addWidget(mode);

    // The window's tab order, then the Up and Down pair, which the keyboard reaches here too.
    QWidget* order[] = {m_fields[0], m_fields[1], m_fields[2], m_fields[3], m_fields[4], m_long, m_word,
                        m_char, m_signed, m_clear, m_swatch, m_up, m_down};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void ConverterWindow::Connect() {
    connect(m_long, &QAbstractButton::clicked, this, [this] { m_converter.SetWidth(4); });
    connect(m_word, &QAbstractButton::clicked, this, [this] { m_converter.SetWidth(2); });
    connect(m_char, &QAbstractButton::clicked, this, [this] { m_converter.SetWidth(1); });
    connect(m_signed, &QAbstractButton::clicked, this, [this](bool on) { m_converter.SetSigned(on); });
    connect(m_clear, &QAbstractButton::clicked, this, [this](bool on) { m_converter.SetClear(on); });
    connect(m_up, &QAbstractButton::clicked, this, [this] { m_converter.Step(1); });
    connect(m_down, &QAbstractButton::clicked, this, [this] { m_converter.Step(-1); });
    connect(m_swatch, &ColorSwatch::ColorPicked, this, [this](uint32_t rgb) { m_converter.SetValue(rgb); });
    connect(FieldEdit(Field::IP), &QLineEdit::textEdited, this, &ConverterWindow::RewriteCommas);
    for (QLineEdit* edit : m_fields)
        connect(edit, &QWidget::customContextMenuRequested, this, [this, edit](QPoint at) {
            edit->setFocus(Qt::OtherFocusReason);
            CommandMenu(edit)->popup(edit->mapToGlobal(at));
        });
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &ConverterWindow::ShowHelp);
}

void ConverterWindow::Start() {
    m_converter.Start();
    ApplyToolTips();
    setWindowFlag(Qt::WindowStaysOnTopHint, m_converter.Options().bStayOnTop != 0);
}

int ConverterWindow::FieldOf(const QObject* object) const {
    for (int i = 0; i < kFieldCount; ++i)
        if (m_fields[i] == object) return i;
    return -1;
}

bool ConverterWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        // Over any control: the window's, as its wheel handling takes every message.
        wheelEvent(static_cast<QWheelEvent*>(event));
        return event->isAccepted();
    }
    const int index = FieldOf(watched);
    if (index < 0) return QDialog::eventFilter(watched, event);
    const Field field = static_cast<Field>(index);
    switch (event->type()) {
    case QEvent::FocusIn:
        // A menu closing gives the focus back without it ever having left, as far as the user sees.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) m_converter.Enter(field);
        break;
    case QEvent::FocusOut:
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) m_converter.Commit(field);
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Committed in place: the caret and selection stay where they were.
            QLineEdit* edit = m_fields[index];
            const int start = edit->selectionStart(), length = edit->selectionLength(), caret = edit->cursorPosition();
            m_converter.PressEnter(field);
            if (length > 0 && start + length <= edit->text().size()) edit->setSelection(start, length);
            else edit->setCursorPosition(qMin(caret, static_cast<int>(edit->text().size())));
            return true;
        }
        const bool plain = static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier;
        if ((key == Qt::Key_Up || key == Qt::Key_Down) && plain) {
            m_converter.Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
        break;
    }
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

void ConverterWindow::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) return QDialog::wheelEvent(event);
    // The delta wraps to 16 bits as the window's wheel message carries it.
    m_converter.Wheel(static_cast<int16_t>(delta), (event->buttons() & Qt::MiddleButton) != 0);
    event->accept();
}

void ConverterWindow::keyPressEvent(QKeyEvent* event) {
    // Enter never closes the window; Escape does, as a dialog's Cancel.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return event->accept();
    QDialog::keyPressEvent(event);
}

void ConverterWindow::contextMenuEvent(QContextMenuEvent* event) {
    CommandMenu(nullptr)->popup(event->globalPos());
}

QMenu* ConverterWindow::CommandMenu(QLineEdit* edit) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (edit) {
        const bool editable = edit->isEnabled();
        menu->addAction(tr("Cu&t"), this, [this, edit] { EditCommand(edit, &QLineEdit::cut); })
            ->setEnabled(editable);
        menu->addAction(tr("&Copy"), this, [this, edit] { CopyField(edit); });
        menu->addAction(tr("&Paste"), this, [this, edit] { EditCommand(edit, &QLineEdit::paste); })
            ->setEnabled(editable);
        menu->addSeparator();
    }
    // Here, not in the caption's menu, which the window manager keeps for itself.
    menu->addAction(String("IDS_SETTINGS"), this, &ConverterWindow::ShowSettings);
    menu->addAction(String("IDS_ABOUTBOX"), this, &ConverterWindow::ShowAbout);
    return menu;
}

void ConverterWindow::EditCommand(QLineEdit* edit, void (QLineEdit::*command)()) {
    (edit->*command)();
    // A field that no longer has the focus will not be left again: committed now.
    if (!edit->hasFocus()) m_converter.Commit(static_cast<Field>(FieldOf(edit)));
}

void ConverterWindow::CopyField(QLineEdit* edit) {
    // With nothing selected the user wants the value: the whole field.
    QApplication::clipboard()->setText(edit->hasSelectedText() ? edit->selectedText() : edit->text());
}

void ConverterWindow::RewriteCommas() {
    QLineEdit* ip = FieldEdit(Field::IP);
    QByteArray typed = ip->text().toLatin1();
    if (!CConverter::ReplaceCommas(typed.begin(), typed.end())) return;
    const int start = ip->selectionStart(), length = ip->selectionLength(), caret = ip->cursorPosition();
    ip->setText(ip->text().replace(u',', u'.'));
    // The user's edit is still pending after the rewrite.
    ip->setModified(true);
    if (length > 0) ip->setSelection(start, length);
    else ip->setCursorPosition(caret);
}

void ConverterWindow::ShowSettings() {
    Settings& options = m_converter.Options();
    SettingsDialog dialog(options, this);
    dialog.exec();
    ApplyToolTips();
    ApplyStayOnTop();
}

void ConverterWindow::ShowAbout() {
    QMessageBox::about(this, tr("About Quendrix"),
                       tr("<p><b>Quendrix</b> version %1</p><p>%2</p><p>Press F1 or use button ToolTips for help</p>")
                           .arg(QApplication::applicationVersion(), QString::fromLatin1(kNotice)));
}

void ConverterWindow::ShowHelp() {
    // Beside the program in the build tree, in the shared data folder once installed.
    const QString dir = QApplication::applicationDirPath();
    for (const QString& page : {dir + "/Help/Quendrix.htm", dir + "/../share/quendrix/Help/Quendrix.htm"})
        if (const QFileInfo file(page);
            file.isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(file.canonicalFilePath())))
            return;
    beep();
    QMessageBox::warning(this, windowTitle(), String("IDS_NOHELP"));
}

void ConverterWindow::ApplyToolTips() {
    const bool on = m_converter.Options().bToolTips != 0;
    const std::pair<QWidget*, const char*> tips[] = {
        {m_fields[0], "IDC_DEC"}, {m_fields[1], "IDC_HEX"}, {m_fields[2], "IDC_TEXT"}, {m_fields[3], "IDC_IP"},
        {m_fields[4], "IDC_BIN"}, {m_long, "IDC_LONG"},     {m_word, "IDC_WORD"},      {m_char, "IDC_CHAR"},
        {m_signed, "IDC_SIGNED"}, {m_clear, "IDC_CLEAR"},   {m_up, "IDC_SPIN"},        {m_down, "IDC_SPIN"},
        {m_swatch, "IDC_COLOR"}};
    for (const auto& [widget, tip] : tips) widget->setToolTip(on ? String(tip) : QString());
}

void ConverterWindow::ApplyStayOnTop() {
    const bool on = m_converter.Options().bStayOnTop != 0;
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
    // Told to the shown window as it is: setWindowFlags would hide it and make it again.
    overrideWindowFlags(on ? windowFlags() | Qt::WindowStaysOnTopHint : windowFlags() & ~Qt::WindowStaysOnTopHint);
    if (QWindow* shown = windowHandle()) shown->setFlags(windowFlags());
}

// ---- the converter's view of the window

const char* ConverterWindow::ReadField(Field field) {
    m_lastRead = field;
    const QString text = FieldEdit(field)->text();
    if (field != Field::Text) {
        m_read = text.toLatin1();  // the other fields' characters are ASCII or read as refused
        return m_read.constData();
    }
    // Text is Windows-1252: a character it has no byte for cannot be read.
    const QByteArray utf8 = text.toUtf8();
    m_read.resize(0);
    bool whole = true;
    text::Utf8ToCp1252(utf8.constData(), utf8.constData() + utf8.size(), [&](int byte) {
        whole = byte >= 0;
        if (whole) m_read.append(static_cast<char>(byte));
        return whole;
    });
    return whole ? m_read.constData() : nullptr;
}

bool ConverterWindow::IsFieldModified(Field field) { return FieldEdit(field)->isModified(); }

void ConverterWindow::WriteField(Field field, const char* text) {
    // setText leaves the field unmodified, as a program's write must.
    FieldEdit(field)->setText(field == Field::Text ? FromCp1252(text) : QString::fromLatin1(text));
}

void ConverterWindow::ShowColor(uint32_t rgb) { m_swatch->SetRgb(rgb); }

void ConverterWindow::ShowMode(int32_t nSize, int32_t bSigned, int32_t bClear) {
    for (QAbstractButton* width : {m_long, m_word, m_char}) width->setAutoExclusive(false);
    m_long->setChecked(nSize == 4);
    m_word->setChecked(nSize == 2);
    m_char->setChecked(nSize == 1);  // a stored width we do not know checks none
    for (QAbstractButton* width : {m_long, m_word, m_char}) width->setAutoExclusive(true);
    m_signed->setChecked(bSigned != 0);
    m_clear->setChecked(bClear != 0);
}

void ConverterWindow::EnableIPAndColor(bool enable) {
    FieldEdit(Field::IP)->setEnabled(enable);
    m_swatch->setEnabled(enable);
}

void ConverterWindow::Refuse() {
    beep();
    // Seen as well as heard: Wayland gives a program no bell, and a sound may be off. The field
    // that was read lights up for a moment, then the commit shows the value in it again.
    QLineEdit* refused = FieldEdit(m_lastRead);
    QPalette flash = refused->palette();
    flash.setColor(QPalette::Base, flash.color(QPalette::Highlight));
    flash.setColor(QPalette::Text, flash.color(QPalette::HighlightedText));
    refused->setPalette(flash);
    QTimer::singleShot(300, refused, [refused] { refused->setPalette(QPalette()); });
}
