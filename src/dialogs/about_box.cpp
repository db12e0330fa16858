// The about box's widgets: icon, name, version, licence and the one button that closes it.
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

#include "dialogs/qt_text.h"

#ifndef RIVO_VERSION
#define RIVO_VERSION "0.1.0"
#endif

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QTr("About"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setModal(true);

    auto* panel = new QFrame;
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* grid = new QGridLayout(panel);

    // The window's icon when the program has one, otherwise the desktop's program icon.
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    programIcon = new QLabel;
    programIcon->setPixmap(icon.pixmap(48, 48));
    programIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(programIcon, 0, 0, 4, 1);

    productNameLabel = new QLabel(productName());
    QFont bold = productNameLabel->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() + 2);
    productNameLabel->setFont(bold);
    versionLabel = new QLabel(QTr("Versione %1").arg(version()));
    copyrightLabel = new QLabel(QTr("Software libero, distribuito senza alcuna garanzia."));
    commentsLabel = new QLabel(
        QTr("Editor della lista canali, dei transponder e dei preferiti nelle immagini flash del "
            "ricevitore satellitare Rivo800."));
    commentsLabel->setWordWrap(true);
    grid->addWidget(productNameLabel, 0, 1);
    grid->addWidget(versionLabel, 1, 1);
    grid->addWidget(copyrightLabel, 2, 1);
    grid->addWidget(commentsLabel, 3, 1);
    grid->setColumnStretch(1, 1);

    okButton = new QPushButton(QTr("OK"));
    okButton->setDefault(true);
    okButton->setAutoDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(buttons);
    setFixedWidth(360);
}

QString AboutBox::productName() { return QStringLiteral("Rivo800 Editor"); }

QString AboutBox::version() { return QStringLiteral(RIVO_VERSION); }

void AboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the screen, whatever window opened it.
    if (QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
