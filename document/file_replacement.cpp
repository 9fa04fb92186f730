// Safe replacement of one file, and the words for why a file could not be written.
#include "document/file_replacement.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace document {

namespace {

// Longer chains of links are taken for a loop, as the system itself does.
constexpr int kMaxLinkHops = 40;

std::error_code lastError() {
    return {errno, std::generic_category()};
}

// The one reason of our own: a name that holds something a save must not replace.
class FileErrorCategory : public std::error_category {
public:
    [[nodiscard]] const char* name() const noexcept override { return "wirtualon-file"; }
    [[nodiscard]] std::string message(int) const override { return "not a regular file"; }
};

const FileErrorCategory& fileErrorCategory() {
    static const FileErrorCategory category;
    return category;
}

}  // namespace

std::error_code notARegularFile() {
    return {1, fileErrorCategory()};
}

std::filesystem::path linkTarget(const std::filesystem::path& path, std::error_code& error) {
    error.clear();
    std::filesystem::path current = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        const std::filesystem::file_status status = std::filesystem::symlink_status(current, error);
        if (error) {
            // A name that does not exist yet is a new file; other failures are reasons.
            if (error == std::errc::no_such_file_or_directory) {
                error.clear();
            }
            return current;
        }
        if (!std::filesystem::is_symlink(status)) {
            return current;
        }
        const std::filesystem::path next = std::filesystem::read_symlink(current, error);
        if (error) {
            return current;
        }
        // A relative link is read from the folder that holds the link.
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return current;
}

std::string fileErrorText(std::error_code error) {
    if (error.category() == fileErrorCategory()) {
        return "w tym miejscu jest coś innego niż zwykły plik";
    }
    const std::error_condition condition = error.default_error_condition();
    if (condition.category() == std::generic_category()) {
        switch (condition.value()) {
            case ENOSPC: return "brak miejsca na dysku";
            case EDQUOT: return "przekroczony przydział miejsca na dysku";
            case EACCES:
            case EPERM: return "brak uprawnień";
            case EROFS: return "system plików tylko do odczytu";
            case ENOENT: return "nie ma takiego folderu";
            case ENOTDIR: return "część ścieżki nie jest folderem";
            case EISDIR: return "w tym miejscu jest folder";
            case ENAMETOOLONG: return "za długa nazwa pliku";
            case ELOOP: return "zapętlone dowiązania symboliczne";
            case EIO: return "błąd wejścia-wyjścia urządzenia";
            case EFBIG: return "plik za duży dla tego systemu plików";
            case EMFILE:
            case ENFILE: return "za dużo otwartych plików";
            case EBUSY:
            case ETXTBSY: return "plik jest zajęty";
            case ENOMEM: return "brak pamięci";
            default: break;
        }
    }
    return "błąd systemu nr " + std::to_string(error.value());
}

std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    std::ostringstream suffix;
    suffix << ".tmp" << std::hex << random();
    std::filesystem::path temporary = target;
    temporary += suffix.str();
    return temporary;
}

FileReplacement::FileReplacement(const std::filesystem::path& path)
    : m_target(linkTarget(path, m_error)) {
    if (m_error) {
        return;
    }
    struct stat old {};
    if (::stat(m_target.c_str(), &old) != 0) {
        // No file yet is fine: it is created. A folder that does not exist shows when the
        // temporary file cannot be created in it.
        if (errno != ENOENT) {
            m_error = lastError();
        }
        return;
    }
    if (S_ISDIR(old.st_mode)) {
        m_error = std::make_error_code(std::errc::is_a_directory);
        return;
    }
    if (!S_ISREG(old.st_mode)) {
        m_error = notARegularFile();
        return;
    }
    m_existed = true;
    m_mode = old.st_mode & 07777u;
    m_owner = old.st_uid;
    m_group = old.st_gid;
}

FileReplacement::~FileReplacement() {
    if (m_written && !m_committed) {
        ::unlink(m_temporary.c_str());
    }
}

std::error_code FileReplacement::write(std::string_view bytes) {
    if (m_error) {
        return m_error;
    }
    m_temporary = temporaryBeside(m_target);
    // Until it gets the old file's bits, a replacement is readable by its owner only, so that
    // a private program is never readable by others in between; a new file gets the usual
    // bits of the user's mask.
    const mode_t mode = m_existed ? 0600 : 0666;
    const int fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        return m_error = lastError();
    }
    m_written = true;
    const auto fail = [&] {
        m_error = lastError();
        ::close(fd);
        return m_error;
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail();
        }
        done += static_cast<std::size_t>(n);
    }
    if (m_existed) {
        struct stat fresh {};
        // Owner first: a change of owner clears the set-id bits that fchmod then restores.
        // Only the superuser may give a file away, so a refusal here is no failure.
        if (::fstat(fd, &fresh) == 0 && (fresh.st_uid != m_owner || fresh.st_gid != m_group)) {
            static_cast<void>(::fchown(fd, m_owner, m_group));
        }
        if (::fchmod(fd, static_cast<mode_t>(m_mode)) != 0) {
            return fail();
        }
    }
    // A full disk or a quota may only show when the data reaches the disk. A file system that
    // cannot flush at all (it says so with EINVAL or ENOTSUP) is no failure of the save.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP && errno != ENOSYS) {
        return fail();
    }
    if (::close(fd) != 0) {
        return m_error = lastError();
    }
    return {};
}

std::error_code FileReplacement::commit() {
    if (m_error) {
        return m_error;
    }
    if (!m_written) {
        return m_error = std::make_error_code(std::errc::invalid_argument);
    }
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        return m_error = lastError();
    }
    m_committed = true;
    return {};
}

}  // namespace document
