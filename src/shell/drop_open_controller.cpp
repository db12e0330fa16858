#include "shell/drop_open_controller.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include "dialogs/qt_text.h"
#include "shell/main_window.h"
#include "shell/recent_files_controller.h"

namespace {
// What the open dialog's file chooser offers: the receiver's images.
bool IsImageName(const QFileInfo& file) {
    const QString suffix = file.suffix().toLower();
    return suffix == QLatin1String("bin") || suffix == QLatin1String("dat") ||
           suffix == QLatin1String("rcu");
}

bool CarriesFiles(const QMimeData* data) {
    if (!data || !data->hasUrls()) return false;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return true;
    return false;
}
}  // namespace

DropOpenController::DropOpenController(MainWindow& window) : QObject(&window), window_(window) {
    window.setAcceptDrops(true);
    // Watched for the whole application: a drop lands on the widget under the pointer,
    // a table among them, which would take it for a row move.
    qApp->installEventFilter(this);
}

QStringList DropOpenController::imagesAmong(const QMimeData& data) {
    QStringList images;
    QStringList refused;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile()) continue;
        const QFileInfo file(url.toLocalFile());
        if (file.isFile() && IsImageName(file))
            images << file.absoluteFilePath();
        else if (file.isDir())
            window_.tellStatus(
                QTr("%1 è una cartella, non un'immagine: non aperta").arg(file.fileName()));
        else
            window_.tellStatus(
                QTr("%1 non è un'immagine (File Bin, Dat o RCU): non aperto").arg(file.fileName()));
    }
    return images;
}

void DropOpenController::openDropped(const QMimeData& data) {
    const QStringList images = imagesAmong(data);
    // After the drop has ended: the file manager that dragged waits for it, and the
    // open dialog is modal.
    QPointer<DropOpenController> self(this);
    QTimer::singleShot(0, this, [self, images] {
        for (const QString& image : images) {
            if (!self) return;
            self->window_.recentFiles->openWithDialog(image);
        }
    });
}

bool DropOpenController::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &window_) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    if (!CarriesFiles(drop->mimeData())) return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) openDropped(*drop->mimeData());
    return true;
}
