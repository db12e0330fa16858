// The core's prompts as message boxes (No or Annulla as the default where "Sì" throws work
// away), and its progress as the status bar's gauge and text.
#include "shell/qt_prompts.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <algorithm>

#include "dialogs/qt_text.h"

rivo::Answer MessageBoxPrompts::ask(const std::string& text, const std::string& title,
                                    rivo::Icon icon, rivo::Buttons buttons) {
    return show(text, title, icon, buttons, false);
}

rivo::Answer MessageBoxPrompts::askDiscarding(const std::string& text, const std::string& title,
                                              rivo::Icon icon, rivo::Buttons buttons) {
    return show(text, title, icon, buttons, true);
}

rivo::Answer MessageBoxPrompts::show(const std::string& text, const std::string& title,
                                     rivo::Icon icon, rivo::Buttons buttons, bool discarding) {
    QMessageBox::Icon boxIcon = QMessageBox::Warning;
    switch (icon) {
        case rivo::Icon::Warning: boxIcon = QMessageBox::Warning; break;
        case rivo::Icon::Question: boxIcon = QMessageBox::Question; break;
        case rivo::Icon::Error: boxIcon = QMessageBox::Critical; break;
        case rivo::Icon::Information: boxIcon = QMessageBox::Information; break;
    }
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    if (buttons == rivo::Buttons::YesNo)
        set = QMessageBox::Yes | QMessageBox::No;
    if (buttons == rivo::Buttons::YesNoCancel)
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(boxIcon, QString::fromStdString(title), QString::fromStdString(text), set,
                    parent_.data());
    if (auto* yes = box.button(QMessageBox::Yes)) yes->setText(QTr("&Sì"));
    if (auto* no = box.button(QMessageBox::No)) no->setText(QTr("&No"));
    if (auto* cancel = box.button(QMessageBox::Cancel)) cancel->setText(QTr("Annulla"));
    if (buttons == rivo::Buttons::YesNoCancel) box.setEscapeButton(QMessageBox::Cancel);
    if (discarding) {
        // The answer that keeps everything is the one Enter and Escape give.
        const auto safe = buttons == rivo::Buttons::YesNoCancel ? QMessageBox::Cancel : QMessageBox::No;
        if (box.button(safe)) {
            box.setDefaultButton(safe);
            box.setEscapeButton(safe);
        }
    }
    switch (box.exec()) {
        case QMessageBox::Yes: return rivo::Answer::Yes;
        case QMessageBox::No: return rivo::Answer::No;
        case QMessageBox::Cancel: return rivo::Answer::Cancel;
        default:
            // Closing a Yes/No box without an answer is a No; a Yes/No/Cancel box a Cancel.
            if (buttons == rivo::Buttons::YesNo)
                return rivo::Answer::No;
            if (buttons == rivo::Buttons::YesNoCancel) return rivo::Answer::Cancel;
            return rivo::Answer::Ok;
    }
}

namespace {
constexpr qint64 kRedrawMs = 40;  // about 25 gauge pictures a second
}

void StatusBarProgress::draw(int percent) {
    const int value = std::clamp(percent, 0, 100);
    if (value == gauge_->value()) return;
    if (lastDrawn_.isValid() && lastDrawn_.elapsed() < kRedrawMs) return;
    gauge_->setValue(value);  // draws at once while visible
    lastDrawn_.start();
}

void StatusBarProgress::show(int percent) {
    if (!gauge_) return;
    const bool wasHidden = gauge_->isHidden();
    if (wasHidden) gauge_->setValue(std::clamp(percent, 0, 100));
    gauge_->raise();
    gauge_->show();
    if (wasHidden) {
        // Long operations run to their end before the next event: draw the gauge now,
        // unless it was drawn a moment ago (operations made of many short steps).
        if (!lastDrawn_.isValid() || lastDrawn_.elapsed() >= kRedrawMs) {
            gauge_->repaint();
            lastDrawn_.start();
        }
    } else {
        draw(percent);
    }
}

void StatusBarProgress::set(int percent) {
    if (gauge_) draw(percent);
}

void StatusBarProgress::hide() {
    if (gauge_) gauge_->hide();
}

void StatusBarProgress::status(const std::string& text) {
    if (!bar_) return;
    bar_->showMessage(QString::fromStdString(text));
    bar_->repaint();
}
