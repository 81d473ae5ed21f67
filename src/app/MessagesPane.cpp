#include "app/MessagesPane.h"

#include "app/ErrorLocation.h"
#include "app/OutputDecoding.h"
#include "app/ToolRun.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPointer>
#include <QResizeEvent>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace lorvane {
namespace {

enum LineKind { kOutput, kHeading, kSummary };
constexpr int kFileRole = Qt::UserRole;
constexpr int kLineRole = Qt::UserRole + 1;
// A program that prints without end must not eat the memory: the oldest
// lines go first.
constexpr int kMaxLines = 20000;
constexpr int kTrimLines = 2000;
// An unfinished line this long is shown as it is.
constexpr std::size_t kMaxPending = 64 * 1024;

const char* const kRegKey = "\\OpenFileLorvane\\Messages";
const char* const kHeightValue = "Height";

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Tabs as the blanks up to the next multiple of eight: a list row shows no
// tab stops.
std::string ExpandTabs(std::string_view line) {
    std::string out;
    std::size_t column = 0;
    for (const char c : line) {
        if (c == '\t') {
            do
                out += ' ';
            while (++column % 8 != 0);
            continue;
        }
        out += c;
        // Continuation bytes of a UTF-8 letter take no column of their own.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++column;
    }
    return out;
}

int StoredHeight() {
    // Like the other remembered placements: a registry that cannot be read
    // gives the default.
    try {
        TRegistry registry;
        if (registry.OpenKey(kRegKey, false) && registry.ValueExists(kHeightValue)) {
            const int height = registry.ReadInteger(kHeightValue);
            if (height >= 40 && height <= 4000) return height;
        }
    } catch (...) {
    }
    return TMessagesPane::kDefaultHeight;
}

void StoreHeight(int height) {
    try {
        TRegistry registry;
        if (registry.OpenKey(kRegKey, true)) registry.WriteInteger(kHeightValue, height);
    } catch (...) {
    }
}

} // namespace

TMessagesPane::TMessagesPane(QWidget* parent) : QDockWidget(parent), height_(StoredHeight()) {
    setObjectName("MessagesPane");
    setWindowTitle(QString::fromUtf8("Сообщения"));
    setFeatures(QDockWidget::DockWidgetClosable);
    setAllowedAreas(Qt::BottomDockWidgetArea);

    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(2, 0, 2, 2);
    column->setSpacing(2);
    auto* row = new QHBoxLayout;
    status_ = new QLabel(body);
    status_->setObjectName("MessagesStatus");
    stop_ = new QToolButton(body);
    stop_->setObjectName("MessagesStop");
    stop_->setText(QString::fromUtf8("Остановить"));
    stop_->setToolTip(QString::fromUtf8("Прервать работу компилятора"));
    stop_->setEnabled(false);
    row->addWidget(status_, 1);
    row->addWidget(stop_);
    column->addLayout(row);
    list_ = new QListWidget(body);
    list_->setObjectName("MessagesList");
    list_->setUniformItemSizes(true);
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    column->addWidget(list_, 1);
    setWidget(body);

    connect(stop_, &QToolButton::clicked, this, [this] {
        if (stoppable_ != nullptr) stoppable_->Stop();
    });
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (item->data(kLineRole).toInt() > 0) Choose(item);
    });
    list_->installEventFilter(this);
    hide();
}

bool TMessagesPane::eventFilter(QObject* watched, QEvent* event) {
    // The copy key in the list copies its current line. The frame's Copy
    // would otherwise take the key whenever a document has a selection, so
    // the same key copied the document's text or the line by chance.
    if (watched == list_ && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        event->accept();
        return true;
    }
    return QDockWidget::eventFilter(watched, event);
}

TMessagesPane::~TMessagesPane() = default;

void TMessagesPane::resizeEvent(QResizeEvent* event) {
    QDockWidget::resizeEvent(event);
    // Only the user's dragging of the splitter changes the remembered
    // height; the layout's own resizes (showing, a frame resized) do not.
    if (!isVisible() || event->size().height() == height_ ||
        !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        return;
    height_ = event->size().height();
    // Written once the user has let go of the splitter, not at every step.
    if (heightTimer_ == nullptr) {
        heightTimer_ = new QTimer(this);
        heightTimer_->setSingleShot(true);
        connect(heightTimer_, &QTimer::timeout, this, [this] { StoreHeight(height_); });
    }
    heightTimer_->start(800);
}

void TMessagesPane::Reveal() {
    if (isVisible()) return;
    show();
    if (auto* frame = qobject_cast<QMainWindow*>(parentWidget()))
        frame->resizeDocks({this}, {height_}, Qt::Vertical);
}

void TMessagesPane::BeginRun(TToolRun& run, const std::string& baseDirectory) {
    Reveal();
    AddLine("> " + run.CommandLine(), {}, kHeading);
    MarkStart();
    pending_[&run] = Pending{{}, baseDirectory};
    QPointer<TMessagesPane> self = this;
    run.OnOutput = [self, &run](std::string_view bytes) {
        if (self) self->AddOutput(&run, bytes);
    };
    const auto previous = run.OnFinished;
    run.OnFinished = [self, previous](TToolRun& ended) {
        if (self) {
            self->Flush(&ended);
            self->pending_.erase(&ended);
            self->AddLine(RunSummary(ended), {}, kSummary);
            self->list_->scrollToBottom();
            if (self->stoppable_ == &ended) self->SetStoppable(nullptr);
            self->status_->setText(Utf8(ended.CommandLine() + ": " + RunSummary(ended)));
        }
        if (previous) previous(ended);
    };
}

void TMessagesPane::StartFailed(const std::string& commandLine, const std::string& why) {
    Reveal();
    AddLine("> " + commandLine, {}, kHeading);
    AddLine("Программа не запускается: " + why, {}, kSummary);
    list_->scrollToBottom();
}

void TMessagesPane::AddListing(const std::string& name, const std::string& baseDirectory,
                               const std::vector<std::string>& utf8Lines) {
    if (utf8Lines.empty()) return;
    AddLine("Листинг " + name + ":", {}, kHeading);
    MarkStart();
    for (const std::string& line : utf8Lines)
        AddLine(line, baseDirectory, kOutput);
}

void TMessagesPane::MarkStart() {
    // The heading is where the walk starts, not a chosen message.
    list_->clearSelection();
    list_->setCurrentRow(list_->count() - 1, QItemSelectionModel::NoUpdate);
    list_->scrollToBottom();
}

void TMessagesPane::SetStoppable(TToolRun* run) {
    stoppable_ = run;
    stop_->setEnabled(run != nullptr);
    if (run != nullptr) status_->setText(Utf8("Выполняется: " + run->CommandLine()));
}

void TMessagesPane::AddOutput(TToolRun* run, std::string_view bytes) {
    Pending& pending = pending_[run];
    pending.bytes.append(bytes);
    std::size_t start = 0;
    for (std::size_t end; (end = pending.bytes.find('\n', start)) != std::string::npos;
         start = end + 1) {
        std::string_view line(pending.bytes.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        AddLine(DecodeToolLine(line), pending.baseDirectory, kOutput, line);
    }
    pending.bytes.erase(0, start);
    if (pending.bytes.size() > kMaxPending) Flush(run);
    list_->scrollToBottom();
}

void TMessagesPane::Flush(TToolRun* run) {
    const auto it = pending_.find(run);
    if (it == pending_.end() || it->second.bytes.empty()) return;
    AddLine(DecodeToolLine(it->second.bytes), it->second.baseDirectory, kOutput, it->second.bytes);
    it->second.bytes.clear();
}

void TMessagesPane::AddLine(const std::string& utf8, const std::string& baseDirectory, int kind,
                            std::string_view printed) {
    auto* item = new QListWidgetItem(Utf8(ExpandTabs(utf8)));
    if (kind == kHeading) {
        QFont font = list_->font();
        font.setBold(true);
        item->setFont(font);
    } else if (kind == kSummary) {
        item->setForeground(QApplication::palette().color(QPalette::Disabled, QPalette::Text));
    } else if (const auto place = ParseErrorLocation(printed.empty() ? utf8 : printed)) {
        // Only a name that leads to a file makes a message: "Time: 12:30:"
        // has the form but no file behind it.
        if (std::string file = FindMessageFile(place->file, baseDirectory); !file.empty()) {
            // The name's bytes, not a decoding of them.
            item->setData(kFileRole, QByteArray(file.data(), static_cast<qsizetype>(file.size())));
            item->setData(kLineRole, place->line);
            item->setForeground(QColor(0xB0, 0x00, 0x00));
            ++messages_;
        }
    }
    list_->addItem(item);
    Trim();
}

void TMessagesPane::Trim() {
    if (list_->count() <= kMaxLines) return;
    for (int i = 0; i < kTrimLines; ++i) {
        std::unique_ptr<QListWidgetItem> item(list_->takeItem(0));
        if (item->data(kLineRole).toInt() > 0) --messages_;
    }
}

bool TMessagesPane::Next() {
    return Step(+1);
}

bool TMessagesPane::Previous() {
    return Step(-1);
}

bool TMessagesPane::Step(int direction) {
    const int count = list_->count();
    for (int row = list_->currentRow() + direction; row >= 0 && row < count; row += direction) {
        if (list_->item(row)->data(kLineRole).toInt() > 0) {
            Reveal();
            Choose(list_->item(row));
            return true;
        }
    }
    return false;
}

void TMessagesPane::Choose(QListWidgetItem* item) {
    list_->setCurrentItem(item);
    list_->scrollToItem(item);
    if (OnJump)
        OnJump(item->data(kFileRole).toByteArray().toStdString(), item->data(kLineRole).toInt());
}

} // namespace lorvane
