#include "app/FrameDrops.h"

#include "app/MainForm.h"
#include "components/FileMO.h"

#include <QDropEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace lorvane {
namespace {

// A file manager offers to move what it drags as readily as to copy it; the
// editor only ever reads the file, so the manager must never be told it
// was moved (it would then delete it).
bool TakeAsCopy(QDropEvent& event) {
    for (Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction})
        if (event.possibleActions() & action) {
            event.setDropAction(action);
            event.accept();
            return true;
        }
    return false;
}

class FileDrops final : public QObject {
public:
    explicit FileDrops(TMainFormLorvane& frame) : QObject(&frame), frame_(&frame) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const auto type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto& drop = static_cast<QDropEvent&>(*event);
        // While the compiler runs, nothing may open a window.
        if (frame_->Compiling()) return false;
        std::vector<std::string> files = DroppedFiles(drop.mimeData());
        if (files.empty() || !TakeAsCopy(drop)) return false;
        if (type == QEvent::Drop)
            // Opened once the drop has returned, so that a message about a
            // file that cannot be read does not hold the file manager's drag.
            QTimer::singleShot(0, frame_, [frame = frame_, files = std::move(files)] {
                for (const std::string& name : files) {
                    frame->FileOpenAll(name);
                    const TMDIChild* opened = frame->ActiveChild();
                    if (opened != nullptr && opened->FileName == name)
                        frame->FileMenuOpens1().AddFile(name);
                }
            });
        return true;
    }

private:
    QPointer<TMainFormLorvane> frame_;
};

} // namespace

std::vector<std::string> DroppedFiles(const QMimeData* data) {
    std::vector<std::string> files;
    if (data == nullptr || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        // The name's own bytes, not a decoding of them: a name that is not
        // UTF-8 must still reach the file it names.
        const QByteArray path =
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        if (!path.isEmpty()) files.emplace_back(path.constData(), path.size());
    }
    return files;
}

void AcceptFileDrops(TMainFormLorvane& frame) {
    auto* drops = new FileDrops(frame);
    // The window area's viewport is where a drop on it or on a document
    // window inside it arrives; the frame takes the rest (menu, buttons,
    // status bar).
    for (QWidget* target : {static_cast<QWidget*>(&frame), frame.MdiArea()->viewport()}) {
        target->setAcceptDrops(true);
        target->installEventFilter(drops);
    }
}

} // namespace lorvane
