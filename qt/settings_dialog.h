// Settings...: the step increment, tooltips, Stay on top and saving, with the limits and the
// refusal messages of the Windows window's Settings dialog.
#pragma once

#include "settings/settings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

class SettingsDialog final : public QDialog {
    Q_OBJECT

public:
    // Shows `options` (a check box's flag other than 0, 1 or 2 shows unchecked and becomes 0, as
    // the window's data exchange has it); OK writes what was chosen back into them.
    SettingsDialog(Settings& options, QWidget* parent);

    void accept() override;

private:
    Settings& m_options;
    QLineEdit* m_increment;
    QCheckBox* m_toolTips;
    QCheckBox* m_stayOnTop;
    QCheckBox* m_saveOnExit;
};
