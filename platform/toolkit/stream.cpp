// Memory and file streams.
#include "toolkit/stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/unique_fd.h"
#include "toolkit/exception.h"

namespace zorbalin {

int64_t TStream::Size() {
    int64_t here = Position();
    int64_t end = Seek(0, soFromEnd);
    Seek(here, soFromBeginning);
    return end;
}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    if (Count > 0 && Read(Buffer, Count) != Count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    if (Count > 0 && Write(Buffer, Count) != Count)
        throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<int64_t>(Count, 65536)));
    int64_t left = Count;
    while (left > 0) {
        int64_t chunk = std::min<int64_t>(left, static_cast<int64_t>(buffer.size()));
        Source.ReadBuffer(buffer.data(), chunk);
        WriteBuffer(buffer.data(), chunk);
        left -= chunk;
    }
    return Count;
}

TMemoryStream::TMemoryStream(const void* Data, std::size_t Size)
    : FData(static_cast<const std::uint8_t*>(Data), static_cast<const std::uint8_t*>(Data) + Size) {
}

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0 || FPosition >= Size())
        return 0;
    int64_t n = std::min(Count, Size() - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0)
        return 0;
    if (FPosition + Count > Size())
        FData.resize(static_cast<std::size_t>(FPosition + Count));
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
    FPosition += Count;
    return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t base = Origin == soFromBeginning ? 0 : Origin == soFromCurrent ? FPosition : Size();
    if (base + Offset < 0)
        return -1;
    FPosition = base + Offset;
    return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
    FData.resize(static_cast<std::size_t>(std::max<int64_t>(NewSize, 0)));
    FPosition = std::min(FPosition, Size());
}

void TMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
    Stream.SetPosition(0);
    int64_t size = Stream.Size();
    FData.resize(static_cast<std::size_t>(size));
    Stream.ReadBuffer(FData.data(), size);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& Path) {
    TFileStream file(Path, kFmOpenRead);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& Stream) {
    Stream.WriteBuffer(FData.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& Path) {
    TFileStream file(Path, kFmCreate);
    SaveToStream(file);
    file.Close();
}

namespace {

// Opens a file for a stream without waiting: a named pipe or a device would
// block the open (or every read) for as long as nobody writes to it, so only
// regular files are taken. Returns null with errno set, or with `reason` set
// when the file is there but of the wrong kind.
std::FILE* OpenRegularFile(const std::string& Path, unsigned Mode, std::string& Reason,
                           int64_t& Size) {
    const bool create = Mode == kFmCreate;
    const bool readOnly = !create && (Mode & 3) == kFmOpenRead;
    int flags = O_CLOEXEC | O_NONBLOCK | (readOnly ? O_RDONLY : O_RDWR);
    if (create)
        flags |= O_CREAT | O_TRUNC;
    TUniqueFd fd(::open(Path.c_str(), flags, 0666));
    if (!fd.IsOpen())
        return nullptr;
    struct stat info;
    if (::fstat(fd.Get(), &info) != 0)
        return nullptr; // errno outlives the descriptor's close
    if (!S_ISREG(info.st_mode)) {
        fd.Reset();
        if (S_ISDIR(info.st_mode))
            errno = EISDIR;
        else
            Reason = "Not a regular file";
        return nullptr;
    }
    Size = static_cast<int64_t>(info.st_size);
    // Reads and writes of a regular file never wait anyway; the flag goes so that
    // nothing downstream sees it.
    ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd.Get(), create ? "w+b" : readOnly ? "rb" : "r+b");
    if (file)
        fd.Release(); // the file owns the descriptor now
    return file;
}

} // namespace

TFileStream::TFileStream(const std::string& Path, unsigned Mode)
    : FPath(Path), FReadOnly(Mode != kFmCreate && (Mode & 3) == kFmOpenRead) {
    std::string reason;
    FFile = OpenRegularFile(Path, Mode, reason, FOpenedSize);
    if (!FFile) {
        if (reason.empty())
            reason = std::strerror(errno);
        if (Mode == kFmCreate)
            throw EFCreateError("Cannot create file \"" + Path + "\". " + reason);
        throw EFOpenError("Cannot open file \"" + Path + "\". " + reason);
    }
}

TFileStream::~TFileStream() {
    if (FFile)
        std::fclose(FFile);
}

void TFileStream::Close() {
    std::FILE* file = std::exchange(FFile, nullptr);
    if (!file)
        return;
    const bool flushed = std::fflush(file) == 0;
    int error = errno;
    const bool closed = std::fclose(file) == 0;
    if (flushed)
        error = errno;
    if (!flushed || !closed)
        throw EWriteError("Cannot write file \"" + FPath + "\". " + std::strerror(error));
}

int64_t TFileStream::Size() {
    // A reader asks for the size often (how much is left): a file opened for
    // reading is read as large as it was when it was opened. Seeking to the end
    // and back would also drop the read buffer every time.
    if (FReadOnly)
        return FOpenedSize;
    return TStream::Size();
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0)
        return 0;
    const auto got =
        static_cast<int64_t>(std::fread(Buffer, 1, static_cast<std::size_t>(Count), FFile));
    FPosition += got;
    return got;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0)
        return 0;
    const auto put =
        static_cast<int64_t>(std::fwrite(Buffer, 1, static_cast<std::size_t>(Count), FFile));
    FPosition += put;
    return put;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    // Asking where the stream stands is frequent and needs no system call.
    if (Origin == soFromCurrent && Offset == 0)
        return FPosition;
    int whence = Origin == soFromBeginning ? SEEK_SET
                 : Origin == soFromCurrent ? SEEK_CUR
                                           : SEEK_END;
    if (fseeko(FFile, static_cast<off_t>(Offset), whence) != 0)
        return -1;
    FPosition = static_cast<int64_t>(ftello(FFile));
    return FPosition;
}

} // namespace zorbalin
