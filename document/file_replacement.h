// Replacing a file safely: the new version is written in full under a temporary name beside the
// file it replaces (through symbolic links, in the folder of the file they point to), with the
// old file's permission bits, and renamed over it only when complete.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace document {

/// Returns the file that writing to `path` must replace: `path` itself, or, when it is a symbolic
/// link, the file the chain of links ends at (which need not exist yet). A loop of links, or a
/// link that cannot be read, gives the reason in `error`.
[[nodiscard]] std::filesystem::path linkTarget(const std::filesystem::path& path,
                                               std::error_code& error);

/// Returns the Polish words (UTF-8) for why a file could not be written or read: "brak miejsca
/// na dysku", "brak uprawnień", "system plików tylko do odczytu", ...
[[nodiscard]] std::string fileErrorText(std::error_code error);

/// The reason given when the name to be written holds something other than a regular file (a
/// folder, a device, a pipe) that a save must not replace.
[[nodiscard]] std::error_code notARegularFile();

/// One file's new version, written under a temporary name beside the file it replaces until
/// `commit` puts it in place; a replacement that is never committed removes its temporary file.
class FileReplacement {
public:
    /// Prepares to replace `path` (through its symbolic links).
    explicit FileReplacement(const std::filesystem::path& path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    /// Writes `bytes` to the temporary file and flushes them to the disk; the temporary file gets
    /// the permission bits (and, where allowed, the owner) of the file it replaces, or those of a
    /// new file when there is none yet. Returns the reason of a failure, empty on success.
    [[nodiscard]] std::error_code write(std::string_view bytes);

    /// Puts the written file in place of the old one in one step. Returns the reason of a
    /// failure, empty on success.
    [[nodiscard]] std::error_code commit();

    /// Returns the file that is replaced (the end of the links).
    [[nodiscard]] const std::filesystem::path& target() const { return m_target; }
    /// Returns true when a file stood at the target before the replacement.
    [[nodiscard]] bool replacesAFile() const { return m_existed; }

private:
    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::error_code m_error;  // from resolving the links or looking at the old file
    bool m_existed = false;
    bool m_written = false;
    bool m_committed = false;
    unsigned m_mode = 0;
    unsigned m_owner = 0;
    unsigned m_group = 0;
};

/// Returns a name for a temporary file beside `target`, in its folder, that no file has yet.
[[nodiscard]] std::filesystem::path temporaryBeside(const std::filesystem::path& target);

}  // namespace document
