// Writing a whole file on POSIX systems: mkstemp in the folder that holds the target's folder,
// fsync, then link (new files) or rename (replacing) into the target's folder, made if missing;
// SIGINT, SIGTERM and SIGHUP remove the temporary file and a folder just made first.
#include "file_writer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_writer_system.h"
#include "platform.h"
#include "platform_posix.h"

void (*beforeRename)() = nullptr;

namespace {

constexpr char temporaryName[] = ".witz-import-XXXXXX";

// What the signal handler removes; it may only call async-signal-safe code.
char temporaryPath[PATH_MAX];
char madeFolderPath[PATH_MAX];
const int interrupts[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removeAndStop(int signal) {
    if (temporaryPath[0] != 0) {
        unlink(temporaryPath);
    }
    // Only an empty folder goes, so one that already received the file stays.
    if (madeFolderPath[0] != 0) {
        rmdir(madeFolderPath);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Holds the interrupt handlers for as long as a temporary file exists.
class InterruptGuard {
  public:
    InterruptGuard() {
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
        madeFolderPath[0] = 0;
    }

  private:
    struct sigaction previous[3];
};

// Holds the interrupts back while a file or folder is made and its name noted for the handler.
class InterruptsHeld {
  public:
    InterruptsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (int signal : interrupts) {
            sigaddset(&held, signal);
        }
        sigprocmask(SIG_BLOCK, &held, &previous);
    }
    ~InterruptsHeld() { sigprocmask(SIG_SETMASK, &previous, nullptr); }

  private:
    sigset_t previous;
};

std::wstring failure(const std::wstring& what, const std::wstring& path) {
    return what + L" \u201E" + path + L"\u201C: " + platform::systemErrorText(errno);
}

std::wstring withoutEndSlashes(std::wstring folder) {
    while (folder.size() > 1 && folder.back() == L'/') {
        folder.pop_back();
    }
    return folder;
}

// The folder that holds folder, where the temporary file is written.
std::wstring holderOf(const std::wstring& folder) {
    std::size_t slash = folder.find_last_of(L'/');
    if (slash == std::wstring::npos) {
        return L".";
    }
    return slash == 0 ? L"/" : folder.substr(0, slash);
}

std::string temporaryPattern(const std::wstring& holder) {
    std::string path = platform::encodeName(holder);
    return (path.back() == '/' ? path : path + "/") + temporaryName;
}

// Makes the folder unless it exists, noting it for the handler; false when it cannot be made.
bool makeFolder(const std::string& folder, bool& made) {
    InterruptsHeld held;
    made = mkdir(folder.c_str(), 0777) == 0;
    if (made) {
        std::strcpy(madeFolderPath, folder.c_str());
    }
    return made || errno == EEXIST;
}

} // namespace

std::wstring systemNameLimit(const std::wstring& folder, const std::wstring& name) {
    std::size_t nameBytes = platform::encodeName(name).size();
    if (nameBytes > NAME_MAX) {
        return L"Der Name ist zu lang: " + std::to_wstring(nameBytes) +
               L" Bytes in UTF-8, ein Dateiname darf h\u00f6chstens " + std::to_wstring(NAME_MAX) +
               L" haben.";
    }
    std::wstring targetFolder = withoutEndSlashes(folder);
    std::wstring target = targetFolder + L"/" + name;
    std::size_t pathBytes = std::max(platform::encodeName(target).size(),
                                     temporaryPattern(holderOf(targetFolder)).size());
    if (pathBytes >= PATH_MAX) {
        return L"Der Pfad \u201E" + target + L"\u201C ist zu lang (" + std::to_wstring(pathBytes) +
               L" Bytes, h\u00f6chstens " + std::to_wstring(PATH_MAX - 1) + L").";
    }
    return std::wstring();
}

std::wstring writeCheckedFile(const std::wstring& folder, const std::wstring& name,
                              const std::string& bytes, WriteMode mode) {
    std::wstring targetFolder = withoutEndSlashes(folder);
    std::wstring target = targetFolder + L"/" + name;
    std::wstring holder = holderOf(targetFolder);
    std::string targetBytes = platform::encodeName(target);
    std::string folderBytes = platform::encodeName(targetFolder);
    // The handlers are in place before the file exists, and its name is noted before an
    // interrupt can come, so none can leave it behind.
    InterruptGuard guard;
    int descriptor;
    {
        InterruptsHeld held;
        std::string pattern = temporaryPattern(holder);
        descriptor = mkostemp(&pattern[0], O_CLOEXEC);
        if (descriptor >= 0) {
            std::strcpy(temporaryPath, pattern.c_str());
        }
    }
    if (descriptor < 0) {
        return failure(L"Kann keine Datei anlegen in", holder);
    }
    // mkstemp makes the file private; a joke file gets the usual rights.
    mode_t mask = umask(0);
    umask(mask);
    bool written = platform::writeAll(descriptor, bytes) && fchmod(descriptor, 0666 & ~mask) == 0 &&
                   fsync(descriptor) == 0;
    int savedError = errno;
    written = close(descriptor) == 0 && written;
    if (!written) {
        unlink(temporaryPath);
        errno = savedError;
        return failure(L"Kann nicht schreiben in", holder);
    }
    bool madeFolder = false;
    if (!makeFolder(folderBytes, madeFolder)) {
        savedError = errno;
        unlink(temporaryPath);
        errno = savedError;
        return failure(L"Kann keinen Ordner anlegen als", targetFolder);
    }
    if (beforeRename != nullptr) {
        beforeRename();
    }
    bool moved;
    if (mode == WriteMode::createNew) {
        // link fails when the name is taken; rename would replace it.
        moved = link(temporaryPath, targetBytes.c_str()) == 0;
        savedError = errno;
        unlink(temporaryPath);
    } else {
        moved = rename(temporaryPath, targetBytes.c_str()) == 0;
        savedError = errno;
        if (!moved) {
            unlink(temporaryPath);
        }
    }
    if (moved) {
        return std::wstring();
    }
    if (madeFolder) {
        rmdir(folderBytes.c_str());
    }
    if (savedError == EXDEV) {
        return L"Kann nicht speichern als \u201E" + target + L"\u201C: \u201E" + targetFolder +
               L"\u201C liegt auf einem anderen Dateisystem als \u201E" + holder +
               L"\u201C, wo die Datei zuerst ganz geschrieben wird";
    }
    errno = savedError;
    return failure(L"Kann nicht speichern als", target);
}
