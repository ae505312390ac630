// A category that cannot be opened, on POSIX: a dangling symbolic link, which fails even for root.
#include "fixture.h"

namespace {
class DanglingLink : public UnopenableFile {
  public:
    explicit DanglingLink(const std::filesystem::path& path) {
        std::filesystem::remove(path);
        std::filesystem::create_symlink(path.parent_path() / "missing-target", path);
    }
};
} // namespace

std::unique_ptr<UnopenableFile> makeUnopenable(const std::filesystem::path& path) {
    return std::make_unique<DanglingLink>(path);
}
