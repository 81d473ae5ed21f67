// The frame's side of document colouring: which language a window's name
// asks for, the switch in the second menu, and the vocabularies read from
// the shipped data and the user's own directory.
#include "app/HighlightSettings.h"
#include "app/MainForm.h"
#include "platform/Error.h"
#include "syntax/SyntaxCatalog.h"

#include <QAction>
#include <QMenu>

namespace lorvane {

void TMainFormLorvane::ConnectHighlighting() {
    // At the end of the second menu, after a separator, with no key: no
    // item of the menus moves and no key changes.
    QMenu* menu = Menu("Edit1");
    menu->addSeparator();
    QAction* item = menu->addAction(QString::fromUtf8("Подсветка &синтаксиса"));
    item->setObjectName("HighlightItem");
    item->setCheckable(true);
    item->setStatusTip(QString::fromUtf8("Выделять цветом ключевые слова, комментарии и строки"));
    items_.emplace("HighlightItem", item);
    item->setChecked(ReadHighlightSettings(settings_.SettingsFileName()).on);
    connect(item, &QAction::triggered, this, [this, item] {
        // The checkable item has flipped itself already.
        item->setChecked(!item->isChecked());
        HighlightItemClick();
    });
}

const TSyntaxCatalog& TMainFormLorvane::SyntaxCatalog() {
    if (!syntaxCatalog_) {
        syntaxCatalog_ = std::make_shared<TSyntaxCatalog>(TSyntaxCatalog::LoadInstalled());
        // A broken vocabulary is named once; its language stays uncoloured.
        for (const std::string& error : syntaxCatalog_->Errors())
            if (highlightErrorsShown_.insert(error).second) ReportError(Error(error));
    }
    return *syntaxCatalog_;
}

void TMainFormLorvane::ColourWindow(TMDIChild& window, std::string_view name) {
    const HighlightSettings settings = ReadHighlightSettings(settings_.SettingsFileName());
    Item("HighlightItem")->setChecked(settings.on);
    ColourWindow(window, name, settings.on, settings.colours);
}

void TMainFormLorvane::ColourWindow(TMDIChild& window, std::string_view name, bool on,
                                    const TColourScheme& colours) {
    std::shared_ptr<const TSyntax> syntax;
    if (on) syntax = SyntaxCatalog().ForExtension(UpperAscii(FileExtension(name)));
    window.Memo1().SetHighlighting(std::move(syntax), colours);
}

void TMainFormLorvane::HighlightItemClick() {
    const bool on = !Item("HighlightItem")->isChecked();
    Item("HighlightItem")->setChecked(on);
    try {
        WriteHighlightOn(settings_.SettingsFileName(), on);
    } catch (const std::exception& error) {
        ReportError(error);
    }
    // Switching on again reads the vocabularies anew, so edits to them show
    // without a restart.
    if (on) syntaxCatalog_.reset();
    const TColourScheme colours = ReadHighlightSettings(settings_.SettingsFileName()).colours;
    for (TMDIChild* child : Children())
        ColourWindow(*child, child->Caption(), on, colours);
}

} // namespace lorvane
