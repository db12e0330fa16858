// The about box: the program's icon, name, version, licence and what it is for, with
// one "OK" button that closes it.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

    static QString productName();
    static QString version();

    QLabel* programIcon = nullptr;
    QLabel* productNameLabel = nullptr;
    QLabel* versionLabel = nullptr;
    QLabel* copyrightLabel = nullptr;
    QLabel* commentsLabel = nullptr;
    QPushButton* okButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
