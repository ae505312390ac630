// Writing a whole file on POSIX systems: mkstemp in the target's folder, fsync, then link (new
// files) or rename (replacing); SIGINT, SIGTERM and SIGHUP remove the temporary file first.
#include "file_writer.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "library/platform_posix.h"

void (*beforeRename)() = nullptr;

namespace {

// The temporary file's name for the signal handler, which may only call async-signal-safe code.
char temporaryPath[4096];
const int interrupts[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removeAndStop(int signal) {
    if (temporaryPath[0] != 0) {
        unlink(temporaryPath);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Holds the interrupt handlers for as long as a temporary file exists.
class InterruptGuard {
  public:
    explicit InterruptGuard(const std::string& path) {
        std::strncpy(temporaryPath, path.c_str(), sizeof temporaryPath - 1);
        struct sigaction action {};
        action.sa_handler = removeAndStop;
        sigemptyset(&action.sa_mask);
        for (int k = 0; k < 3; ++k) {
            sigaction(interrupts[k], &action, &previous[k]);
        }
    }
    ~InterruptGuard() {
        for (int k = 0; k < 3; ++k) {
            sigaction(interrupts[k], &previous[k], nullptr);
        }
        temporaryPath[0] = 0;
    }

  private:
    struct sigaction previous[3];
};

bool writeAll(int descriptor, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t count = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return true;
}

std::wstring failure(const std::wstring& what, const std::wstring& path) {
    return what + L" \u201E" + path + L"\u201C: " + platform::decodeName(std::strerror(errno));
}

} // namespace

std::wstring writeWholeFile(const std::wstring& folder, const std::wstring& name,
                            const std::string& bytes, WriteMode mode) {
    std::wstring target = folder + L"/" + name;
    std::string targetBytes = platform::encodeName(target);
    std::string pattern = platform::encodeName(folder + L"/." + name + L".witz-XXXXXX");
    if (pattern.size() >= sizeof temporaryPath) {
        return L"Der Pfad ist zu lang: \u201E" + target + L"\u201C";
    }
    std::string temporary = pattern;
    // The handlers are in place before the file exists, so no interrupt can leave it behind.
    InterruptGuard guard(temporary);
    int descriptor = mkostemp(&temporary[0], O_CLOEXEC);
    if (descriptor < 0) {
        return failure(L"Kann keine Datei anlegen in", folder);
    }
    std::strncpy(temporaryPath, temporary.c_str(), sizeof temporaryPath - 1);
    // mkstemp makes the file private; a joke file gets the usual rights.
    mode_t mask = umask(0);
    umask(mask);
    bool written = writeAll(descriptor, bytes) && fchmod(descriptor, 0666 & ~mask) == 0 &&
                   fsync(descriptor) == 0;
    int savedError = errno;
    written = close(descriptor) == 0 && written;
    if (!written) {
        unlink(temporary.c_str());
        errno = savedError;
        return failure(L"Kann nicht schreiben in", folder);
    }
    if (beforeRename != nullptr) {
        beforeRename();
    }
    bool moved;
    if (mode == WriteMode::createNew) {
        // link fails when the name is taken; rename would replace it.
        moved = link(temporary.c_str(), targetBytes.c_str()) == 0;
        savedError = errno;
        unlink(temporary.c_str());
    } else {
        moved = rename(temporary.c_str(), targetBytes.c_str()) == 0;
        savedError = errno;
        if (!moved) {
            unlink(temporary.c_str());
        }
    }
    if (!moved) {
        errno = savedError;
        return failure(L"Kann nicht speichern als", target);
    }
    return std::wstring();
}
