#include "qt/settings_dialog.h"

#include "engine/text.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace {

// Typed characters other than digits are refused, as the window's number field refuses them;
// a pasted text is read, and refused, at OK.
class DigitsOnly final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.isEmpty() || !typed.at(0).isPrint() || typed.at(0).isDigit()) return false;
        QApplication::beep();
        return true;
    }
};

Qt::CheckState Shown(int32_t& flag) {
    flag = text::ShownCheck(flag);
    return flag == 2 ? Qt::PartiallyChecked : flag ? Qt::Checked : Qt::Unchecked;
}

int32_t Flag(const QCheckBox* box) {
    return box->checkState() == Qt::PartiallyChecked ? 2 : box->isChecked() ? 1 : 0;
}

}  // namespace

SettingsDialog::SettingsDialog(Settings& options, QWidget* parent)
    : QDialog(parent), m_options(options), m_increment(new QLineEdit(this)),
      m_toolTips(new QCheckBox(tr("Enable &ToolTips"), this)), m_stayOnTop(new QCheckBox(tr("Stay &on top"), this)),
      m_saveOnExit(new QCheckBox(tr("&Save settings on exit"), this)) {
    setWindowTitle(tr("Settings"));
    m_increment->setText(QString::number(options.nIncrement));
    m_increment->installEventFilter(new DigitsOnly(m_increment));
    m_toolTips->setCheckState(Shown(options.bToolTips));
    m_stayOnTop->setCheckState(Shown(options.bStayOnTop));
    m_saveOnExit->setCheckState(Shown(options.bSaveOnExit));

    auto* form = new QFormLayout;
    auto* label = new QLabel(tr("Spin button &increment"), this);
    label->setBuddy(m_increment);
    form->addRow(label, m_increment);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_toolTips);
    layout->addWidget(m_stayOnTop);
    layout->addWidget(m_saveOnExit);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_increment->selectAll();
}

void SettingsDialog::accept() {
    const QByteArray typed = m_increment->text().toUtf8();
    uint32_t increment = 0;
    char refusal[64];
    if (!text::ReadUnsignedWithin(typed.constData(), 1, kMaxIncrement, increment, refusal)) {
        QMessageBox::warning(this, windowTitle(), QString::fromLatin1(refusal));
        m_increment->setFocus();
        m_increment->selectAll();
        return;
    }
    m_options.nIncrement = increment;
    m_options.bToolTips = Flag(m_toolTips);
    m_options.bStayOnTop = Flag(m_stayOnTop);
    m_options.bSaveOnExit = Flag(m_saveOnExit);
    QDialog::accept();
}
