// The PNG reader's switches for tests, the fuzzer and the benchmarks: which reader took the last
// image data, and turning the whole-image reader off or down so that its outcomes can be held
// against the streaming reader's. The program never turns them; only those include this header
// (and png_whole_image.cpp, which keeps them). Each switch holds for the calling thread.
#pragma once

#include <cstdint>

namespace zorbalin {

// Which reader decoded the last image data on this thread.
enum class TImageDataPath { None, WholeImage, Streaming };
TImageDataPath LastImageDataPath();
void NoteImageDataPath(TImageDataPath Path);

// The whole-image reader is on by default; off, every picture is streamed.
void SetWholeImageReaderEnabled(bool Enabled);

// The largest filtered image the whole-image reader holds; larger pictures are streamed.
constexpr uint64_t kDefaultWholeImageLimit = uint64_t(256) << 20;
void SetWholeImageLimit(uint64_t Bytes);

} // namespace zorbalin
