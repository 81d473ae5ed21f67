// lorvane-bcc: the C compiler of the bcc profile (see WrapperArgs.h). It
// stays while bcc runs, to remove its private directory afterwards, and
// ends as bcc ended.
#include "toolchains/WrapperMain.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace {

volatile std::sig_atomic_t stopSignal = 0;

void NoteStop(int signal) {
    stopSignal = signal;
}

// The directory is removed however bcc ends, stopped or not.
class PrivateDirectory {
public:
    PrivateDirectory() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/lorvane-bcc.XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~PrivateDirectory() {
        std::error_code error;
        if (!path_.empty()) std::filesystem::remove_all(path_, error);
    }
    PrivateDirectory(const PrivateDirectory&) = delete;
    PrivateDirectory& operator=(const PrivateDirectory&) = delete;

    const std::string& Path() const noexcept { return path_; }

private:
    std::string path_;
};

void Fail(const std::string& message) {
    std::fprintf(stderr, "lorvane-bcc: %s\n", message.c_str());
}

} // namespace

int main(int argc, char** argv) {
    using namespace lorvane::wrappers;
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::error_code error;
    const std::string current = std::filesystem::current_path(error).string();
    const BccRun run = BccInvocation(args, LastIsFile(args), current);
    if (run.call.argv.empty()) return BecomeTool("lorvane-bcc", run.call);

    // A stop (the editor ends the whole process group) ends bcc; this
    // process only notes it, to clean up first.
    struct sigaction action {};
    action.sa_handler = NoteStop;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);

    int status = 0;
    {
        const PrivateDirectory directory;
        if (directory.Path().empty()) {
            Fail(std::string("не создаётся временный каталог: ") + std::strerror(errno));
            return 1;
        }
        std::ofstream stub(directory.Path() + "/" + kBccStub, std::ios::binary);
        stub << run.stub;
        stub.close();
        if (!stub) {
            Fail("не записывается файл во временном каталоге " + directory.Path());
            return 1;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            // bcc's own intermediate files go there too.
            if (::chdir(directory.Path().c_str()) != 0 ||
                ::setenv("TMPDIR", directory.Path().c_str(), 1) != 0) {
                Fail(directory.Path() + ": " + std::strerror(errno));
                ::_exit(1);
            }
            ::_exit(BecomeTool("lorvane-bcc", run.call));
        }
        if (child < 0) {
            Fail(std::string("bcc не запускается: ") + std::strerror(errno));
            return 1;
        }
        pid_t waited;
        while ((waited = ::waitpid(child, &status, 0)) < 0 && errno == EINTR) {
        }
        if (waited != child) return 1;
    }
    // A stopped compile ends as stopped, so the editor reports a stop.
    if (stopSignal != 0) {
        std::signal(stopSignal, SIG_DFL);
        std::raise(stopSignal);
    }
    if (WIFSIGNALED(status)) {
        Fail("bcc прерван сигналом " + std::to_string(WTERMSIG(status)));
        return 128 + WTERMSIG(status);
    }
    return WEXITSTATUS(status);
}
