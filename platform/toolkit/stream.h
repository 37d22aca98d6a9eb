// Byte streams for loading and saving pictures: an abstract stream, a growable memory stream
// and a file stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "toolkit/classes.h"

namespace zorbalin {

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

class TStream : public TObject {
  public:
    // Reads up to `count` bytes; returns how many were read (0 at the end). Never throws for a
    // short read.
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    // Writes up to `count` bytes; returns how many were written.
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    // Moves the position and returns the new one. Seeking past the end is allowed; before the
    // start is not (the position stays and -1 is returned).
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    int64_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(int64_t Position) { Seek(Position, soFromBeginning); }
    virtual int64_t Size();
    // Reads exactly `count` bytes or raises EReadError "Stream read error".
    void ReadBuffer(void* Buffer, int64_t Count);
    // Writes exactly `count` bytes or raises EWriteError "Stream write error".
    void WriteBuffer(const void* Buffer, int64_t Count);
    // Copies `count` bytes from `source` (count 0: from its start to its end); returns the count.
    int64_t CopyFrom(TStream& Source, int64_t Count);
};

class TMemoryStream : public TStream {
  public:
    TMemoryStream() = default;
    // A stream over a copy of the bytes, positioned at the start.
    TMemoryStream(const void* Data, std::size_t Size);

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return static_cast<int64_t>(FData.size()); }

    const std::uint8_t* Memory() const { return FData.data(); }
    std::uint8_t* Memory() { return FData.data(); }
    void SetSize(int64_t Size);
    void Clear();
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const std::string& Path);
    void SaveToStream(TStream& Stream);
    void SaveToFile(const std::string& Path);

  private:
    std::vector<std::uint8_t> FData;
    int64_t FPosition = 0;
};

// Open modes (combine one of the first three with nothing else; fmCreate replaces the file).
constexpr unsigned kFmOpenRead = 0x0000;
constexpr unsigned kFmOpenWrite = 0x0001;
constexpr unsigned kFmOpenReadWrite = 0x0002;
constexpr unsigned kFmCreate = 0xFF00;

class TFileStream : public TStream {
  public:
    // Opens the file; raises EFOpenError "Cannot open file "<path>". <reason>" (or EFCreateError
    // "Cannot create file ..." with fmCreate) with the system's reason when it cannot. Only
    // regular files are opened, and never with a wait: a folder gives "Is a directory", a named
    // pipe, socket or device "Not a regular file".
    TFileStream(const std::string& Path, unsigned Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override;
    const std::string& FileName() const { return FPath; }
    // Ends a write: the buffered bytes go to the file and the file is closed,
    // each checked, so that a full disk is seen. Raises EWriteError "Cannot
    // write file "<path>". <reason>" when either fails. The stream can do
    // nothing more afterwards; without Close, the destructor closes unchecked.
    void Close();

  private:
    std::string FPath;
    bool FReadOnly;
    int64_t FOpenedSize = 0;
    int64_t FPosition = 0; // kept here, so that asking for it costs no system call
    std::FILE* FFile = nullptr;
};

} // namespace zorbalin
