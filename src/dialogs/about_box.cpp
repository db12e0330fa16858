#include "dialogs/about_box.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#ifndef RIVO_VERSION
#define RIVO_VERSION "0.1.0"
#endif

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setModal(true);

    auto* panel = new QFrame;
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* grid = new QGridLayout(panel);

    // The window's icon when the program has one, otherwise the desktop's program icon.
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    ProgramIcon = new QLabel;
    ProgramIcon->setPixmap(icon.pixmap(48, 48));
    ProgramIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(ProgramIcon, 0, 0, 4, 1);

    ProductName = new QLabel(productName());
    QFont bold = ProductName->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() + 2);
    ProductName->setFont(bold);
    Version = new QLabel(QStringLiteral("Versione ") + version());
    Copyright = new QLabel(QStringLiteral("Software libero, distribuito senza alcuna garanzia."));
    Comments = new QLabel(QStringLiteral(
        "Editor della lista canali, dei transponder e dei preferiti nelle immagini flash del "
        "ricevitore satellitare Rivo800."));
    Comments->setWordWrap(true);
    grid->addWidget(ProductName, 0, 1);
    grid->addWidget(Version, 1, 1);
    grid->addWidget(Copyright, 2, 1);
    grid->addWidget(Comments, 3, 1);
    grid->setColumnStretch(1, 1);

    OKButton = new QPushButton(QStringLiteral("OK"));
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(buttons);
    setFixedWidth(360);
}

QString TAboutBox::productName() { return QStringLiteral("Rivo800 Editor"); }

QString TAboutBox::version() { return QStringLiteral(RIVO_VERSION); }

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the screen, whatever window opened it.
    if (QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
