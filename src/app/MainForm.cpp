#include "app/MainForm.h"

#include "about/AboutWin.h"
#include "app/FindoraxIni.h"
#include "app/FrameDrops.h"
#include "app/HandOver.h"
#include "app/ToolIcons.h"
#include "app/WindowPlacement.h"
#include "components/FileMO.h"
#include "components/JustOne.h"
#include "components/RegControls.h"
#include "components/TrayIcon.h"
#include "platform/Registry.h"
#include "platform/SiblingChannel.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace lorvane {
namespace {

// Messages to the search-in-files program: "the editor is active" and
// "the editor shows a hint".
constexpr std::int32_t kEditorActivated = 1024 + 162;
constexpr std::int32_t kEditorHint = 1024 + 164;

struct ItemDef {
    const char* name; // "-" for a separator
    const char* caption;
    const char* shortcut;
    const char* hint;
};

struct MenuDef {
    const char* name;
    const char* caption;
    std::vector<ItemDef> items;
};

const std::vector<MenuDef>& MenuTable() {
    static const std::vector<MenuDef> table = {
        {"File1",
         "&1 Файлы",
         {
             {"FileNewItem", "&1 Новый", "Shift+F3", "Create a new file"},
             {"FileOpenItem", "&2 Открыть", "F3", "Open an existing file"},
             {"FileCloseItem", "&3 Закрыть", "Ctrl+F3", "Close current file"},
             {"FileSaveItem", "&4 Сохранить", "F2", "Save current file"},
             {"FileSaveAsItem", "&5 Записать как...", "Ctrl+F2", "Save current file as..."},
             {"-", "", "", ""},
             {"N7", "&6 Печать", "Ctrl+P", ""},
             {"N3", "&7 Свойства принтера", "Ctrl+S", ""},
             {"N8", "&8 Шрифт принтера", "Ctrl+Q", ""},
             {"-", "", "", ""},
             {"FileExitItem", "&0 Выход", "Esc", "Exit the application"},
         }},
        {"Edit1",
         "&2 Редактирование",
         {
             {"N12", "&1 Отменить", "Alt+Backspace", ""},
             {"Redo1", "&2 Вернуть", "Shift+Alt+Backspace", ""},
             {"CutItem", "&Вырезать", "Ctrl+X", "Cut to clipboard"},
             {"CopyItem", "&4 Копировать", "Ctrl+C", "Copy to clipboard"},
             {"PasteItem", "&5 Вставить", "Ctrl+V", "Paste from clipboard"},
             {"N4", "&6 Выделить все", "Ctrl+A", ""},
             {"OEM1", "&DOS - Символы", "Ctrl+D", ""},
             {"Ansi1", "&KOI8 - Символы", "Ctrl+K", ""},
             {"-", "", "", ""},
             {"Fonts1", "&Шрифт...", "Ctrl+H", ""},
             {"N9", "&Фиксированный шрифт", "Ctrl+W", ""},
             {"N36", "Ввод псевдогра&фики", "Ctrl+T", ""},
             {"N23", "&Полужирный", "Ctrl+B", ""},
             {"N24", "&Наклонный", "Ctrl+I", ""},
             {"N22", "Под&черкнутый", "Ctrl+U", ""},
             {"-", "", "", ""},
             {"NoBAT1", "&7 Не создавать BAK файл", "Ctrl+N", ""},
             {"N11", "&8 Автоотступ", "Ctrl+J", ""},
             {"N91", "&9 Заменить пробелы табуляцией", "Alt+T", ""},
             {"N01", "&0 Заменить табуляцию пробелами", "Alt+B", ""},
         }},
        {"N21",
         "&3 Работа с программой",
         {
             {"N14", "&1 Компилировать", "F4", ""},
             {"N16", "&2 Линковать", "F5", ""},
             {"N19", "&3 Запуск на выполнение", "F9", ""},
             {"DOS1", "&4 Выполнить файл", "Ctrl+F9", ""},
             {"N15", "&5 Рабочие установки", "F10", ""},
             {"-", "", "", ""},
             {"LST1", "&6 Загружать файл .lst", "Ctrl+L", ""},
             {"-", "", "", ""},
             {"N26", "&7 Калькулятор", "F6", ""},
             {"N81", "&8 По-байтовый просмотр Float", "Shift+F6", ""},
         }},
        {"Window1",
         "&4 Окна",
         {
             {"WindowCascadeItem", "&Каскад", "Ctrl+F5", "Arrange windows to overlap"},
             {"WindowTileItem", "&Черепица", "Shift+F5", "Arrange windows without overlap"},
             {"WindowArrangeItem", "&Аранжировать значки", "Shift+F10",
              "Arrange window icons at bottom of main window"},
             {"WindowMinimizeItem", "&Минимизировать все", "Ctrl+F10", "Minimize all windows"},
             {"-", "", "", ""},
             {"N18", "&Цвет фона", "Ctrl+C", ""},
         }},
        {"N5",
         "&5 Поиск",
         {
             {"Search1", "&1 Найти", "F7", ""},
             {"SearchAgain2", "&2 Найти еще раз", "F8", ""},
             {"Replace2", "&3 Найти и заменить", "Ctrl+F7", ""},
             {"N28", "&4 Поиск в файлах", "Ctrl+F8", ""},
         }},
        {"Help1",
         "&6 Помощь",
         {
             {"N20", "&1 Справка", "F1", ""},
             {"HelpAboutItem", "&2 Информация", "Shift+F1", ""},
             {"N27", "Удаление строки", "Ctrl+Y", ""},
         }},
    };
    return table;
}

struct ButtonDef {
    const char* name;
    const char* hint;    // short hint, "|", long hint
    const char* action;  // the menu item it stands for; empty: its own
    const char* caption; // text instead of an icon
    bool toggle;
};

const std::vector<ButtonDef>& ButtonTable() {
    static const std::vector<ButtonDef> table = {
        {"SpeedButton13", "Новый|", "FileNewItem", "", false},
        {"OpenBtn", "Открыть|", "FileOpenItem", "", false},
        {"SaveBtn", "Сохранить|", "FileSaveItem", "", false},
        {"SpeedButton1", "Печать|", "N7", "", false},
        {"SpeedButton7", "Выделить все|", "N4", "", false},
        {"SpeedButton6", "Шрифт|", "Fonts1", "", false},
        {"SpeedButton11", "Цвет фона|", "N18", "", false},
        {"CutBtn", "Вырезать|", "CutItem", "", false},
        {"CopyBtn", "Копировать|", "CopyItem", "", false},
        {"PasteBtn", "Вставить|", "PasteItem", "", false},
        {"SpeedButton14", "Не создавать BAK файл|", "NoBAT1", "", true},
        {"SpeedButton2", "Найти|", "Search1", "", false},
        {"SpeedButton4", "Найти еще раз|", "SearchAgain2", "", false},
        {"SpeedButton5", "Заменить|", "Replace2", "", false},
        {"SpeedButton9", "Компилировать|", "N14", "", false},
        {"SpeedButton10", "Линковать|", "N16", "", false},
        {"SpeedButton12", "Запуск на выполнение|", "N19", "", false},
        {"SpeedButton17", "Загружать файл .lst|", "LST1", "LST", true},
        {"SpeedButton15", "DOS - Символы|", "", "DOS", true},
        {"SpeedButton16", "KOI8 - Символы|", "", "KOI8", true},
        {"SpeedButton3", "Фиксированный шрифт|", "N9", "F", true},
        {"SpeedButton8", "Закрыть окно|", "FileCloseItem", "", false},
        {"ExitBtn", "Выход|", "FileExitItem", "", false},
    };
    return table;
}

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

TMainFormLorvane::TMainFormLorvane(EditorFactory editors, std::vector<std::string> parameters,
                                   QWidget* parent)
    : QMainWindow(parent), editors_(std::move(editors)), parameters_(std::move(parameters)) {
    setObjectName("MainFormLorvane");
    setWindowTitle(Utf8("Текстовый редактор Lorvane"));
    resize(709, 446);

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("MdiArea");
    setCentralWidget(mdiArea_);
    AcceptFileDrops(*this);
    // Button hints show while another program has the focus too: a pointer
    // resting on a button asks what it does, whichever window is active.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    statusBar1_ = new QStatusBar(this);
    statusBar1_->setObjectName("StatusBar1");
    statusBar1_->setSizeGripEnabled(false);
    // A bar of its own, edged all round like a panel, so that its lower edge
    // is not taken for the window's border.
    statusBar1_->setStyleSheet(QStringLiteral(
        "QStatusBar#StatusBar1 { border: 1px solid palette(mid); border-radius: 0px; "
        "padding: 1px 2px; }"));
    setStatusBar(statusBar1_);

    CreateMenus();
    CreateToolButtons();
    ConnectTextCommands();
    ConnectHighlighting();

    // The converter's stored pages; Save sets the target page each time.

    // The guard decides before anything is shown: a second start hands its
    // command line over here and ends when the event loop starts.
    xJustOne1_ = std::make_unique<TXJustOne>(this);
    xJustOne1_->SetSwitchToPrevious(true);
    xJustOne1_->SetAlreadyExist([this](TXJustOne*) { XJustOne1AlreadyExist(); });
    xJustOne1_->SetOnHandOver([this](const std::string& names) {
        bool unclaimed = false;
        for (const std::string& name : SplitNames(names))
            unclaimed = handOvers_.FromSocket(name) || unclaimed;
        if (unclaimed) ClearHandOverIf(names);
    });
    xJustOne1_->Loaded();

    fileMenuOpens1_ = std::make_unique<TFileMenuOpens>(this);
    fileMenuOpens1_->SetOnAction([this](QAction* sender) { FileMenuOpens1Action(sender); });
    fileMenuOpens1_->SetRegPath("OpenFileLorvane\\History\\");
    fileMenuOpens1_->SetNumbers(5);
    fileMenuOpens1_->SetMenus(Menu("File1"));
    fileMenuOpens1_->SetMenuIndex(11);

    // A click or a double click on the notification icon brings back the
    // frame that minimising took off the task bar.
    if (xJustOne1_->IsFirstInstance()) {
        trayIcon1_ = new TTrayIcon(this);
        trayIcon1_->OnClick = [](TTrayIcon* sender) { sender->Restore(); };
        trayIcon1_->OnDblClickLeft = [](TTrayIcon* sender) { sender->Restore(); };
    }

    connect(mdiArea_, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow*) { OnSubWindowActivated(); });
    ConnectBuildTools();
    FormCreate();

    regForm1_ = std::make_unique<TRegForm>(
        this, [this](QWidget*, bool& canClose) { canClose = FormCloseQuery(); });
    regForm1_->SetRegKey("\\OpenFileLorvane\\Main");
    regForm1_->Loaded();
    if (!regForm1_->Restored()) FitFrameToScreen(*this);
}

TMainFormLorvane::~TMainFormLorvane() {
    // FormDestroy; the windows closing with the frame must not run the
    // command state on a half-destroyed frame.
    disconnect(idleConnection_);
    disconnect(mdiArea_, nullptr, this, nullptr);
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        disconnect(dispatcher, nullptr, this, nullptr);
}

void TMainFormLorvane::CreateMenus() {
    for (const MenuDef& menuDef : MenuTable()) {
        QMenu* menu = menuBar()->addMenu(Utf8(menuDef.caption));
        menu->setObjectName(menuDef.name);
        menus_.emplace(menuDef.name, menu);
        for (const ItemDef& def : menuDef.items) {
            if (std::string_view(def.name) == "-") {
                menu->addSeparator();
                continue;
            }
            QAction* item = menu->addAction(Utf8(def.caption));
            item->setObjectName(def.name);
            if (*def.shortcut)
                item->setShortcut(
                    QKeySequence::fromString(def.shortcut, QKeySequence::PortableText));
            item->setStatusTip(Utf8(def.hint));
            items_.emplace(def.name, item);
        }
    }
    // Ctrl+C stands on both Copy and the background colour; Copy, first in
    // menu order, takes the key. The other item only shows it: as a key of
    // its own it would answer Ctrl+C whenever Copy is disabled.
    QAction* n18 = Item("N18");
    n18->setText(n18->text() + QLatin1Char('\t') +
                 n18->shortcut().toString(QKeySequence::NativeText));
    n18->setShortcut(QKeySequence());
    Item("N27")->setVisible(false);
    for (const char* name :
         {"OEM1", "Ansi1", "N9", "N36", "N23", "N24", "N22", "NoBAT1", "N11", "LST1"})
        Item(name)->setCheckable(true);
    Item("N9")->setChecked(true);
    Item("N11")->setChecked(true);
    Item("SearchAgain2")->setEnabled(false);

    connect(Item("FileNewItem"), &QAction::triggered, this, [this] { FileNewItemClick(); });
    connect(Item("FileOpenItem"), &QAction::triggered, this, [this] { FileOpenItemClick(); });
    connect(Item("FileCloseItem"), &QAction::triggered, this, [this] { FileCloseItemClick(); });
    connect(Item("FileSaveItem"), &QAction::triggered, this, [this] { FileSaveItemClick(); });
    connect(Item("FileSaveAsItem"), &QAction::triggered, this, [this] { FileSaveAsItemClick(); });
    connect(Item("FileExitItem"), &QAction::triggered, this, [this] { close(); });
    connect(Item("NoBAT1"), &QAction::triggered, this, [this] {
        // The checkable item has flipped itself already; the command flips
        // from the state before the trigger.
        Item("NoBAT1")->setChecked(!Item("NoBAT1")->isChecked());
        NoBAT1Click();
    });
    connect(Item("WindowCascadeItem"), &QAction::triggered, this,
            [this] { WindowCascadeItemClick(); });
    connect(Item("WindowTileItem"), &QAction::triggered, this, [this] { WindowTileItemClick(); });
    connect(Item("WindowArrangeItem"), &QAction::triggered, this,
            [this] { WindowArrangeItemClick(); });
    connect(Item("WindowMinimizeItem"), &QAction::triggered, this,
            [this] { WindowMinimizeItemClick(); });
    connect(Item("HelpAboutItem"), &QAction::triggered, this, [this] { HelpAboutItemClick(); });
    connect(Menu("Window1"), &QMenu::aboutToShow, this, [this] { RebuildWindowList(); });
}

void TMainFormLorvane::CreateToolButtons() {
    speedPanel_ = addToolBar(QStringLiteral("SpeedPanel"));
    speedPanel_->setObjectName("SpeedPanel");
    speedPanel_->setMovable(false);
    speedPanel_->setFloatable(false);
    speedPanel_->setIconSize(QSize(20, 20));
    speedPanel_->setFixedHeight(29);
    // Twenty-three buttons must fit the frame's initial width.
    speedPanel_->setStyleSheet(QStringLiteral("QToolBar { spacing: 0px; padding: 0px; }"));
    for (const ButtonDef& def : ButtonTable()) {
        auto* button = new QToolButton(speedPanel_);
        button->setObjectName(def.name);
        const QString hint = Utf8(def.hint);
        button->setProperty("hint", hint);
        button->setToolTip(hint.section('|', 0, 0));
        button->setStatusTip(hint.section('|', 1));
        button->setAutoRaise(true);
        if (*def.caption) {
            button->setText(Utf8(def.caption));
            button->setFixedSize(button->sizeHint().width() - 4, 25);
        } else {
            button->setIcon(ToolIcon(def.name));
            button->setFixedSize(25, 25);
        }
        button->setCheckable(def.toggle);
        if (*def.action) {
            QAction* item = Item(def.action);
            connect(button, &QToolButton::clicked, item, [this, item, button] {
                // A toggle button shows the state the idle pass gives it;
                // the command decides, not the click.
                if (button->isCheckable()) button->setChecked(!button->isChecked());
                if (item->isEnabled()) item->trigger();
                UpdateMenuItems();
            });
        }
        speedPanel_->addWidget(button);
        buttons_.emplace(def.name, button);
    }
    SetDown("SpeedButton3", true);
    for (auto& [name, button] : buttons_)
        button->setEnabled(false);
    for (const char* name :
         {"SpeedButton13", "OpenBtn", "ExitBtn", "SpeedButton14", "SpeedButton17"})
        EnableButton(name, true);
}

QAction* TMainFormLorvane::Item(std::string_view name) const {
    auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

QToolButton* TMainFormLorvane::Button(std::string_view name) const {
    auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

QMenu* TMainFormLorvane::Menu(std::string_view name) const {
    auto it = menus_.find(name);
    return it == menus_.end() ? nullptr : it->second;
}

void TMainFormLorvane::Enable(std::string_view name, bool on) {
    if (QAction* item = Item(name); item && item->isEnabled() != on) item->setEnabled(on);
}

void TMainFormLorvane::EnableButton(std::string_view name, bool on) {
    if (QToolButton* button = Button(name); button && button->isEnabled() != on)
        button->setEnabled(on);
}

void TMainFormLorvane::SetChecked(std::string_view name, bool on) {
    if (QAction* item = Item(name); item && item->isChecked() != on) item->setChecked(on);
}

void TMainFormLorvane::SetDown(std::string_view name, bool on) {
    if (QToolButton* button = Button(name); button && button->isChecked() != on)
        button->setChecked(on);
}

std::vector<TMDIChild*> TMainFormLorvane::Children() const {
    std::vector<TMDIChild*> children;
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder))
        if (auto* child = qobject_cast<TMDIChild*>(window)) children.push_back(child);
    return children;
}

TMDIChild* TMainFormLorvane::ActiveChild() const {
    // The current window stays current while the frame itself is inactive.
    return qobject_cast<TMDIChild*>(mdiArea_->currentSubWindow());
}

void TMainFormLorvane::FormCreate() {
    printerFontChosen_ = false;
    firstActivationDone_ = false;
    calculatorValue_ = 0;
    // A second start ends as its loop starts; an idle pass before that
    // would take back the very file it has just handed over.
    if (!xJustOne1_->IsFirstInstance()) return;
    idleConnection_ =
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                [this] { MyAppIdle(); });
}

void TMainFormLorvane::OnSubWindowActivated() {
    if (TMDIChild* child = ActiveChild()) child->FormActivate();
    UpdateMenuItems();
}

void TMainFormLorvane::AboutBoxCr() {
    SiblingChannel::Send(kEditorActivated, 0, 0);
    if (!firstActivationDone_) {
        firstActivationDone_ = true;
        // One file, or several that the start named one per line; a file
        // that fails to load leaves the others opening.
        bool failed = false;
        for (const std::string& name : SplitNames(HandOverName(parameters_))) {
            fileMenuOpens1_->AddFile(name);
            TMDIChild* window = OpenInNewWindow("Untitle", name);
            if (window == nullptr) {
                failed = true;
                continue;
            }
            window->FileName = name;
            SharedFlags().CurrentExtension = UpperAscii(FileExtension(name));
            TakeFindoraxLoadName(name);
        }
        // On a failed load the settings are read at the next activation.
        if (failed) return;
        closeAllActive_ = false;
    }
    settings_.ReadToolSettings();
    settings_.ReadNoBackup();
    if (TMDIChild* active = ActiveChild()) active->Document.checkDisk = true;
}

void TMainFormLorvane::MyAppIdle() {
    // A dialog opened from the idle pass runs its own loop, which comes back
    // here; one pass at a time.
    // While the compiler runs, nothing may open or close windows.
    if (inIdle_ || compiling_) return;
    inIdle_ = true;
    try {
        UpdateMenuItems();
        CheckFilesOnDisk();
        ReportSetAsideRegistry();
    } catch (const std::exception& error) {
        inIdle_ = false;
        ReportError(error);
        return;
    }
    inIdle_ = false;
}

void TMainFormLorvane::ReportSetAsideRegistry() {
    for (const RegistrySetAside& setAside : TakeRegistrySetAsides())
        Dialogs::Current().MessageBox(
            "В файле " + setAside.file +
                " были строки, которые не удалось прочитать. Все прочитанные ключи и значения "
                "остались в нём, а сам файл в прежнем виде сохранён как " +
                setAside.aside + ".",
            std::string(kAttention), mbOK, MsgIcon::Warning);
}

void TMainFormLorvane::UpdateMenuItems() {
    TSharedDocumentFlags& flags = SharedFlags();
    const std::vector<TMDIChild*> children = Children();
    const auto n = children.size();
    TMDIChild* active = ActiveChild();

    // The backup switch and the compiler's extension are mirrors the
    // windows' own saves read; they follow the frame whatever the font.
    flags.NoBackupFlag = Item("NoBAT1")->isChecked();
    flags.CompilerExtensionCopy = settings_.Tools().compilerExtension;
    if (flags.TerminalFontActive) {
        for (const char* name : {"OEM1", "Ansi1"})
            Enable(name, false);
        for (const char* name : {"SpeedButton15", "SpeedButton16"})
            EnableButton(name, false);
    } else if (n > 0) {
        // A UTF-8 file has no code page to show its text in another way.
        // (Each state is set once a pass: an item enabled and disabled again
        // would repaint, and the repaint bring the next idle pass, for ever.)
        const bool utf8 = active != nullptr && active->Document.form.utf8;
        Enable("OEM1", !flags.ActiveKoi8Mode && !utf8);
        EnableButton("SpeedButton15", !flags.ActiveKoi8Mode && !utf8);
        Enable("Ansi1", !flags.ActiveDosMode && !utf8);
        EnableButton("SpeedButton16", !flags.ActiveDosMode && !utf8);
        SetDown("SpeedButton15", flags.ActiveDosMode);
        SetChecked("OEM1", flags.ActiveDosMode);
        SetDown("SpeedButton16", flags.ActiveKoi8Mode);
        SetChecked("Ansi1", flags.ActiveKoi8Mode);
    }
    if (n == 0) {
        for (const char* name : {"SpeedButton15", "SpeedButton16"}) {
            SetDown(name, false);
            EnableButton(name, false);
        }
        for (const char* name : {"OEM1", "Ansi1"}) {
            SetChecked(name, false);
            Enable(name, false);
        }
    }
    UpdateDocumentFields(active);
    bool selection = false;
    // A text open only for viewing can be copied from, not cut or pasted in.
    bool editable = true;
    if (n > 0 && active != nullptr) {
        active->UpdateStatus();
        selection = active->Memo1().HasSelection();
        editable = !active->Memo1().ReadOnly();
    }
    // The other windows' figures change too (a listing loaded behind the
    // source, a layout finishing in the background).
    for (TMDIChild* child : children)
        if (child != active && !child->isMinimized()) child->UpdateStatusLine();
    Enable("CutItem", n > 0 && selection && editable);
    Enable("CopyItem", n > 0 && selection);
    EnableButton("CutBtn", n > 0 && selection && editable);
    EnableButton("CopyBtn", n > 0 && selection);

    const bool any = n > 0;
    for (const char* name : {"FileCloseItem", "FileSaveItem", "FileSaveAsItem"})
        Enable(name, any);
    for (const char* name : {"SaveBtn", "SpeedButton8"})
        EnableButton(name, any);
    Enable("N12", any && flags.ActiveCanUndo);
    Enable("Redo1", any && flags.ActiveCanRedo);
    Enable("PasteItem", any && flags.ClipboardHasText && editable);
    EnableButton("PasteBtn", any && flags.ClipboardHasText && editable);

    const ToolSettings& tools = settings_.Tools();
    const bool compilable = any && flags.CurrentExtension == tools.compilerExtension;
    const bool compile = !tools.assemblerPath.empty() && compilable;
    Enable("N14", compile);
    EnableButton("SpeedButton9", compile);
    const bool link = !tools.linkerPath.empty() && compilable;
    EnableButton("SpeedButton10", link);
    Enable("N16", link);
    const bool run = (!tools.runProgram.empty() || tools.compiledExtension == ".EXE") && compile;
    EnableButton("SpeedButton12", run);
    Enable("N19", run);

    const bool pseudo = any && flags.TerminalFontActive;
    Enable("N36", pseudo);
    // A new window turns the input off; the mark follows the switch.
    SetChecked("N36", pseudo && flags.PseudoGraphicsInput);

    Enable("NoBAT1", true);
    EnableButton("SpeedButton14", true);
    SetChecked("NoBAT1", settings_.NoBackup());
    SetDown("SpeedButton14", settings_.NoBackup());

    EnableButton("SpeedButton3", any);
    for (const char* name : {"Search1", "Replace2", "Fonts1", "N4", "N91", "N01", "N7", "N18",
                             "N11", "N9", "N22", "N23", "N24"})
        Enable(name, any);
    for (const char* name : {"SpeedButton1", "SpeedButton2", "SpeedButton5", "SpeedButton6",
                             "SpeedButton7", "SpeedButton11"})
        EnableButton(name, any);
    EnableButton("SpeedButton4", Item("SearchAgain2")->isEnabled());
    Enable("WindowCascadeItem", n > 1);
    Enable("WindowTileItem", n > 1);
    Enable("WindowArrangeItem", any);
    Enable("WindowMinimizeItem", any);

    // A later start's files, one per line: each is queued on its own, as
    // the same start's socket message queues them.
    for (const std::string& handedOver : SplitNames(TakeHandOver()))
        handOvers_.FromRegistry(handedOver);
    OpenHandedOver();
}

void TMainFormLorvane::ShowHint(const QString& hint) {
    SiblingChannel::Send(kEditorHint, 10, 30);
    statusBar1_->showMessage(hint);
}

bool TMainFormLorvane::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainFormLorvane::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) AboutBoxCr();
    if (event->type() == QEvent::WindowStateChange && trayIcon1_ != nullptr) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if (isMinimized() && !(change->oldState() & Qt::WindowMinimized))
            trayIcon1_->Minimize();
        else if (!isMinimized())
            trayIcon1_->visible = true;
    }
}

void TMainFormLorvane::closeEvent(QCloseEvent* event) {
    // While the compiler runs the frame stays: its windows are waiting for
    // the listing.
    bool canClose = !compiling_;
    if (canClose) regForm1_->CloseQuery(canClose);
    if (canClose)
        event->accept();
    else
        event->ignore();
}

void TMainFormLorvane::WindowCascadeItemClick() {
    mdiArea_->cascadeSubWindows();
}

void TMainFormLorvane::WindowTileItemClick() {
    mdiArea_->tileSubWindows();
}

void TMainFormLorvane::WindowArrangeItemClick() {
    // Minimised windows line up along the bottom edge, left to right; a
    // full row starts the next one above it.
    int x = 0;
    int rowBottom = mdiArea_->viewport()->height();
    int rowHeight = 0;
    for (TMDIChild* child : Children()) {
        if (!child->isMinimized()) continue;
        const QSize size = child->size();
        if (x > 0 && x + size.width() > mdiArea_->viewport()->width()) {
            x = 0;
            rowBottom -= rowHeight;
            rowHeight = 0;
        }
        child->move(x, rowBottom - size.height());
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
}

void TMainFormLorvane::WindowMinimizeItemClick() {
    const std::vector<TMDIChild*> children = Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        (*it)->showMinimized();
}

void TMainFormLorvane::HelpAboutItemClick() {
    if (!aboutWin1_) aboutWin1_ = new TAboutWin1(this);
    aboutWin1_->exec();
}

void TMainFormLorvane::RebuildWindowList() {
    QMenu* menu = Menu("Window1");
    for (QAction* item : windowListItems_) {
        menu->removeAction(item);
        item->deleteLater();
    }
    windowListItems_.clear();
    const std::vector<TMDIChild*> children = Children();
    if (children.empty()) return;
    windowListItems_.push_back(menu->addSeparator());
    TMDIChild* active = ActiveChild();
    int number = 1;
    for (TMDIChild* child : children) {
        QString caption = child->windowTitle();
        caption.replace('&', QStringLiteral("&&"));
        QAction* item = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(caption));
        item->setCheckable(true);
        item->setChecked(child == active);
        QPointer<TMDIChild> target = child;
        connect(item, &QAction::triggered, this, [this, target] {
            if (target) mdiArea_->setActiveSubWindow(target);
        });
        windowListItems_.push_back(item);
    }
}

} // namespace lorvane
