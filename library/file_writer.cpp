// The writer's part that both systems share: no temporary file is made for a name that cannot
// be written.
#include "file_writer.h"

#include "file_names.h"
#include "file_writer_system.h"

std::wstring unwritableName(const std::wstring& folder, const std::wstring& name) {
    if (std::wstring why = badFileName(name); !why.empty()) {
        return why;
    }
    return systemNameLimit(folder, name);
}

std::wstring writeWholeFile(const std::wstring& folder, const std::wstring& name,
                            const std::string& bytes, WriteMode mode) {
    if (std::wstring why = unwritableName(folder, name); !why.empty()) {
        return why;
    }
    return writeCheckedFile(folder, name, bytes, mode);
}
