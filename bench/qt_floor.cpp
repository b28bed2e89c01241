// The start-up floor of the native window: its widgets in a plain Qt dialog, laid out the same,
// doing nothing. What quendrix costs beyond this is the program's own.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Quendrix floor"));
    auto* grid = new QGridLayout;
    auto* right = new QVBoxLayout;
    auto* window = new QHBoxLayout(&dialog);
    window->setSizeConstraint(QLayout::SetFixedSize);
    window->addLayout(grid);
    window->addLayout(right);
    const char* labels[] = {"&Dec:", "&Hex:", "&Text:", "&IP:", "&Bin:"};
    for (int i = 0; i < 5; ++i) {
        auto* edit = new QLineEdit(&dialog);
        auto* label = new QLabel(QString::fromLatin1(labels[i]), &dialog);
        label->setBuddy(edit);
        grid->addWidget(label, i / 2, i % 2 * 2);
        grid->addWidget(edit, i / 2, i % 2 * 2 + 1, 1, i == 4 ? 3 : 1);
    }
    auto* steps = new QVBoxLayout;
    for (Qt::ArrowType arrow : {Qt::UpArrow, Qt::DownArrow}) {
        auto* button = new QToolButton(&dialog);
        button->setArrowType(arrow);
        steps->addWidget(button);
    }
    grid->addLayout(steps, 0, 4, Qt::AlignTop);

    auto* color = new QHBoxLayout;
    color->addStretch();
    color->addWidget(new QLabel(QStringLiteral("Color:"), &dialog));
    color->addWidget(new QPushButton(&dialog));
    right->addLayout(color);
    auto* mode = new QGroupBox(QStringLiteral("Mode"), &dialog);
    auto* modeGrid = new QGridLayout(mode);
    modeGrid->addWidget(new QRadioButton(QStringLiteral("&Long"), mode), 0, 0);
    modeGrid->addWidget(new QRadioButton(QStringLiteral("&Word"), mode), 1, 0);
    modeGrid->addWidget(new QRadioButton(QStringLiteral("&Char"), mode), 2, 0);
    modeGrid->addWidget(new QCheckBox(QStringLiteral("&Signed"), mode), 0, 1);
    modeGrid->addWidget(new QCheckBox(QStringLiteral("Cl&ear"), mode), 1, 1);
    right->addWidget(mode);
    return dialog.exec();
}
