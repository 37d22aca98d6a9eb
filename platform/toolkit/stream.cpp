// Memory and file streams.
#include "toolkit/stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "toolkit/exception.h"

namespace zorbalin {

int64_t TStream::Size() {
    int64_t here = Position();
    int64_t end = Seek(0, soFromEnd);
    Seek(here, soFromBeginning);
    return end;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count > 0 && Read(buffer, count) != count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count > 0 && Write(buffer, count) != count)
        throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<int64_t>(count, 65536)));
    int64_t left = count;
    while (left > 0) {
        int64_t chunk = std::min<int64_t>(left, static_cast<int64_t>(buffer.size()));
        source.ReadBuffer(buffer.data(), chunk);
        WriteBuffer(buffer.data(), chunk);
        left -= chunk;
    }
    return count;
}

TMemoryStream::TMemoryStream(const void* data, std::size_t size)
    : FData(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size) {
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    if (count <= 0 || FPosition >= Size())
        return 0;
    int64_t n = std::min(count, Size() - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0)
        return 0;
    if (FPosition + count > Size())
        FData.resize(static_cast<std::size_t>(FPosition + count));
    std::memcpy(FData.data() + FPosition, buffer, static_cast<std::size_t>(count));
    FPosition += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == soFromBeginning ? 0 : origin == soFromCurrent ? FPosition : Size();
    if (base + offset < 0)
        return -1;
    FPosition = base + offset;
    return FPosition;
}

void TMemoryStream::SetSize(int64_t size) {
    FData.resize(static_cast<std::size_t>(std::max<int64_t>(size, 0)));
    FPosition = std::min(FPosition, Size());
}

void TMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    int64_t size = stream.Size();
    FData.resize(static_cast<std::size_t>(size));
    stream.ReadBuffer(FData.data(), size);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& path) {
    TFileStream file(path, fmOpenRead);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream) {
    stream.WriteBuffer(FData.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& path) {
    TFileStream file(path, fmCreate);
    SaveToStream(file);
}

namespace {

// Opens a file for a stream without waiting: a named pipe or a device would
// block the open (or every read) for as long as nobody writes to it, so only
// regular files are taken. Returns null with errno set, or with `reason` set
// when the file is there but of the wrong kind.
std::FILE* OpenRegularFile(const std::string& path, unsigned mode, std::string& reason,
                           int64_t& size) {
    const bool create = mode == fmCreate;
    const bool readOnly = !create && (mode & 3) == fmOpenRead;
    int flags = O_CLOEXEC | O_NONBLOCK | (readOnly ? O_RDONLY : O_RDWR);
    if (create)
        flags |= O_CREAT | O_TRUNC;
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0)
        return nullptr;
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        if (S_ISDIR(info.st_mode))
            errno = EISDIR;
        else
            reason = "Not a regular file";
        return nullptr;
    }
    size = static_cast<int64_t>(info.st_size);
    // Reads and writes of a regular file never wait anyway; the flag goes so that
    // nothing downstream sees it.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, create ? "w+b" : readOnly ? "rb" : "r+b");
    if (!file) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return file;
}

} // namespace

TFileStream::TFileStream(const std::string& path, unsigned mode)
    : FPath(path), FReadOnly(mode != fmCreate && (mode & 3) == fmOpenRead) {
    std::string reason;
    FFile = OpenRegularFile(path, mode, reason, FOpenedSize);
    if (!FFile) {
        if (reason.empty())
            reason = std::strerror(errno);
        if (mode == fmCreate)
            throw EFCreateError("Cannot create file \"" + path + "\". " + reason);
        throw EFOpenError("Cannot open file \"" + path + "\". " + reason);
    }
}

TFileStream::~TFileStream() {
    if (FFile)
        std::fclose(FFile);
}

int64_t TFileStream::Size() {
    // A reader asks for the size often (how much is left): a file opened for
    // reading is read as large as it was when it was opened. Seeking to the end
    // and back would also drop the read buffer every time.
    if (FReadOnly)
        return FOpenedSize;
    return TStream::Size();
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    if (count <= 0)
        return 0;
    const auto got =
        static_cast<int64_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), FFile));
    FPosition += got;
    return got;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    if (count <= 0)
        return 0;
    const auto put =
        static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), FFile));
    FPosition += put;
    return put;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    // Asking where the stream stands is frequent and needs no system call.
    if (origin == soFromCurrent && offset == 0)
        return FPosition;
    int whence = origin == soFromBeginning ? SEEK_SET
                 : origin == soFromCurrent ? SEEK_CUR
                                           : SEEK_END;
    if (fseeko(FFile, static_cast<off_t>(offset), whence) != 0)
        return -1;
    FPosition = static_cast<int64_t>(ftello(FFile));
    return FPosition;
}

} // namespace zorbalin
