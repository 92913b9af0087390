#include "platform/afx/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/afx/PathResolver.h"

namespace {
int CauseFromErrno(int err) {
    switch (err) {
        case ENOENT: return CFileException::fileNotFound;
        case ENOTDIR: return CFileException::badPath;
        case EACCES:
        case EPERM:
        case EROFS: return CFileException::accessDenied;
        case EMFILE:
        case ENFILE: return CFileException::tooManyOpenFiles;
        case ENOSPC: return CFileException::diskFull;
        case EISDIR: return CFileException::invalidFile;
        default: return CFileException::generic;
    }
}
}  // namespace

CFile::CFile(const char* fileName, UINT openFlags) {
    CFileException e;
    if (!Open(fileName, openFlags, &e)) throw e;
}

CFile::~CFile() {
    if (m_fd >= 0) ::close(m_fd);
}

BOOL CFile::Open(const char* fileName, UINT openFlags, CFileException* pError) {
    Close();
    m_strFileName = fileName;
    bool create = (openFlags & modeCreate) != 0;
    m_systemPath = create ? AfxResolvePathForWrite(fileName) : AfxResolvePath(fileName, true);
    int flags = 0;
    switch (openFlags & 3) {
        case modeRead: flags = O_RDONLY; break;
        case modeWrite: flags = O_WRONLY; break;
        default: flags = O_RDWR; break;
    }
    if (create) {
        flags |= O_CREAT;
        if (!(openFlags & modeNoTruncate)) flags |= O_TRUNC;
    }
    m_fd = ::open(m_systemPath.c_str(), flags | O_CLOEXEC, 0644);
    if (m_fd >= 0) {
        struct stat st;
        if (::fstat(m_fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(m_fd);
            m_fd = -1;
            errno = EISDIR;
        }
    }
    if (m_fd < 0) {
        if (pError) {
            pError->m_cause = CauseFromErrno(errno);
            pError->m_strFileName = fileName;
        }
        return FALSE;
    }
    return TRUE;
}

UINT CFile::Read(void* buf, UINT count) {
    if (m_fd < 0) throw CFileException(CFileException::generic, m_strFileName);
    UINT done = 0;
    while (done < count) {
        ssize_t n = ::read(m_fd, (char*)buf + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw CFileException(CFileException::hardIO, m_strFileName);
        if (n == 0) break;
        done += UINT(n);
    }
    return done;
}

void CFile::Write(const void* buf, UINT count) {
    if (m_fd < 0) throw CFileException(CFileException::generic, m_strFileName);
    UINT done = 0;
    while (done < count) {
        ssize_t n = ::write(m_fd, (const char*)buf + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw CFileException(n < 0 ? CauseFromErrno(errno) : CFileException::diskFull, m_strFileName);
        done += UINT(n);
    }
}

LONG CFile::Seek(LONG offset, UINT from) {
    if (m_fd < 0) throw CFileException(CFileException::generic, m_strFileName);
    int whence = from == begin ? SEEK_SET : (from == current ? SEEK_CUR : SEEK_END);
    off_t r = ::lseek(m_fd, offset, whence);
    if (r < 0) throw CFileException(CFileException::badSeek, m_strFileName);
    return LONG(r);
}

DWORD CFile::GetLength() const {
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) return 0;
    return DWORD(st.st_size);
}

DWORD CFile::GetPosition() const {
    if (m_fd < 0) return 0;
    off_t r = ::lseek(m_fd, 0, SEEK_CUR);
    return r < 0 ? 0 : DWORD(r);
}

void CFile::Flush() {
    if (m_fd >= 0) ::fsync(m_fd);
}

void CFile::Close() {
    if (m_fd >= 0) {
        int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 && errno != EINTR) throw CFileException(CFileException::hardIO, m_strFileName);
    }
}

void CFile::Abort() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

void CFile::Remove(const char* fileName) {
    std::string path = AfxResolvePath(fileName);
    if (::unlink(path.c_str()) != 0) throw CFileException(CauseFromErrno(errno), fileName);
}

void CFile::Rename(const char* oldName, const char* newName) {
    std::string from = AfxResolvePath(oldName);
    std::string to = AfxResolvePath(newName);
    if (::rename(from.c_str(), to.c_str()) != 0) throw CFileException(CauseFromErrno(errno), oldName);
}

bool CFile::Exists(const char* fileName) { return AfxPathExists(fileName); }

bool CFile::IsFile(const char* fileName) {
    struct stat st;
    return ::stat(AfxResolvePath(fileName).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

UINT CMemFile::Read(void* buf, UINT count) {
    size_t n = std::min<size_t>(count, m_data.size() - std::min(m_pos, m_data.size()));
    if (n) std::memcpy(buf, m_data.data() + m_pos, n);
    m_pos += n;
    return UINT(n);
}

void CMemFile::Write(const void* buf, UINT count) {
    if (m_pos + count > m_data.size()) m_data.resize(m_pos + count);
    if (count) std::memcpy(m_data.data() + m_pos, buf, count);
    m_pos += count;
}

LONG CMemFile::Seek(LONG offset, UINT from) {
    long long base = from == begin ? 0 : (from == current ? (long long)m_pos : (long long)m_data.size());
    long long pos = base + offset;
    if (pos < 0) throw CFileException(CFileException::badSeek, "memory");
    m_pos = size_t(pos);
    return LONG(pos);
}

CSafeFile::~CSafeFile() {
    if (IsOpen()) Abort();
    if (!m_temp.empty()) ::unlink(m_temp.c_str());
}

BOOL CSafeFile::Open(const char* fileName, UINT, CFileException* pError) {
    Close();
    m_strFileName = fileName;
    m_target = AfxResolvePathForWrite(fileName);
    struct stat st;
    int err = 0;
    if (::stat(m_target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        err = EISDIR;
    } else {
        // A name of our own that no other process (or second game) can
        // open under us: created exclusively, never shared.
        std::string temp = m_target + ".XXXXXX";
        m_fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (m_fd >= 0) {
            ::fchmod(m_fd, 0644);
            m_temp = temp;
            m_systemPath = temp;
            return TRUE;
        }
        err = errno;
    }
    if (pError) {
        pError->m_cause = CauseFromErrno(err);
        pError->m_strFileName = fileName;
    }
    m_temp.clear();
    return FALSE;
}

void CSafeFile::Commit() {
    if (m_temp.empty() || m_fd < 0) throw CFileException(CFileException::generic, m_strFileName);
    // The bytes reach the disk before the name points at them, and the
    // folder's new entry after: a crash leaves the old file or the new one.
    if (::fsync(m_fd) != 0) throw CFileException(CFileException::hardIO, m_strFileName);
    Close();
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0) throw CFileException(CauseFromErrno(errno), m_strFileName);
    m_temp.clear();
    std::string folder = m_target.substr(0, m_target.find_last_of('/') + 1);
    int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        // Some file systems cannot sync a folder (EINVAL); only a failed
        // write is a failure.
        int failed = ::fsync(dir) != 0 ? errno : 0;
        ::close(dir);
        if (failed == EIO) throw CFileException(CFileException::hardIO, m_strFileName);
    }
}
