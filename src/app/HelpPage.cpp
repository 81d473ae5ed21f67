#include "app/HelpPage.h"

#include "platform/FileNameBytes.h"
#include "platform/Paths.h"

#include <QProcess>

#include <filesystem>
#include <system_error>

namespace lorvane {

namespace {
constexpr char kOwnPage[] = "Lorvane.htm";
}

std::string HelpPagePath() {
    std::error_code error;
    if (std::filesystem::is_regular_file(kOwnPage, error)) return kOwnPage;
    return paths::DataFile(std::string("help/") + kOwnPage);
}

void OpenHelpPage(QObject* owner, const std::string& page,
                  std::function<void(const std::string& text)> failed) {
    if (page.empty()) {
        failed("Страница справки " + std::string(kOwnPage) +
               " не найдена ни в текущей папке, ни среди файлов программы.");
        return;
    }
    auto* opener = new QProcess(owner);
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({FileNameText(page)});
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    const auto tell = [page, failed](const std::string& why) {
        failed("Справку " + page + " нечем открыть: " + why + ".");
    };
    QObject::connect(opener, &QProcess::errorOccurred, opener,
                     [opener, tell](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         tell("не удалось запустить программу xdg-open, которая открывает "
                              "документы в программах рабочего стола");
                         opener->deleteLater();
                     });
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, tell](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode != 0)
                             tell("ни одна программа рабочего стола не открыла её (xdg-open "
                                  "завершилась с кодом " +
                                  std::to_string(exitCode) + ")");
                         opener->deleteLater();
                     });
    opener->start();
}

} // namespace lorvane
