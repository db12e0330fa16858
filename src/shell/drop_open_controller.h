// Images dropped on the window from a file manager open as "Apri" opens them: through
// the open dialog, pre-filled with what is remembered. A folder or a file of another
// kind is refused with a word in the status bar. The tables' own row dragging carries
// no file names and is left alone.
#pragma once

#include <QObject>
#include <QStringList>

class MainWindow;
class QMimeData;

class DropOpenController : public QObject {
    Q_OBJECT
public:
    explicit DropOpenController(MainWindow& window);

    // The dropped paths that are images to open; the others are told in the status bar.
    QStringList imagesAmong(const QMimeData& data);
    // Opens the dropped images one after the other.
    void openDropped(const QMimeData& data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainWindow& window_;
};
