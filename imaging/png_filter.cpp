#include "imaging/png_filter.h"

namespace zorbalin {
namespace {

void UnfilterSub(uint8_t* row, size_t rowBytes, size_t step) {
  for (size_t i = step; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - step]);
}

void UnfilterUp(uint8_t* row, const uint8_t* prior, size_t rowBytes) {
  for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(row[i] + prior[i]);
}

void UnfilterAverage(uint8_t* row, const uint8_t* prior, size_t rowBytes, size_t step) {
  const size_t head = step < rowBytes ? step : rowBytes;
  for (size_t i = 0; i < head; ++i) row[i] = static_cast<uint8_t>(row[i] + (prior[i] >> 1));
  for (size_t i = step; i < rowBytes; ++i)
    row[i] = static_cast<uint8_t>(row[i] + ((row[i - step] + prior[i]) >> 1));
}

// Paeth keeps the left and upper-left bytes of each channel in registers; the
// channel count is a template argument so that the inner loop has no branch on it.
template <size_t Step>
void UnfilterPaethFixed(uint8_t* row, const uint8_t* prior, size_t rowBytes) {
  size_t head = Step < rowBytes ? Step : rowBytes;
  for (size_t i = 0; i < head; ++i) row[i] = static_cast<uint8_t>(row[i] + prior[i]);
  for (size_t i = Step; i < rowBytes; i += Step) {
    for (size_t c = 0; c < Step && i + c < rowBytes; ++c) {
      const size_t k = i + c;
      row[k] = static_cast<uint8_t>(row[k] + PaethPredictor(row[k - Step], prior[k], prior[k - Step]));
    }
  }
}

void UnfilterPaeth(uint8_t* row, const uint8_t* prior, size_t rowBytes, size_t step) {
  switch (step) {
    case 1: UnfilterPaethFixed<1>(row, prior, rowBytes); return;
    case 3: UnfilterPaethFixed<3>(row, prior, rowBytes); return;
    case 4: UnfilterPaethFixed<4>(row, prior, rowBytes); return;
    default: break;
  }
  const size_t head = step < rowBytes ? step : rowBytes;
  for (size_t i = 0; i < head; ++i) row[i] = static_cast<uint8_t>(row[i] + prior[i]);
  for (size_t i = step; i < rowBytes; ++i)
    row[i] = static_cast<uint8_t>(row[i] + PaethPredictor(row[i - step], prior[i], prior[i - step]));
}

int Left(const uint8_t* row, size_t i, size_t step) { return i >= step ? row[i - step] : 0; }

}  // namespace

void UnfilterRow(uint8_t filterType, uint8_t* row, const uint8_t* prior, size_t rowBytes,
                 size_t step) {
  switch (filterType) {
    case ftSub: UnfilterSub(row, rowBytes, step); return;
    case ftUp: UnfilterUp(row, prior, rowBytes); return;
    case ftAverage: UnfilterAverage(row, prior, rowBytes, step); return;
    case ftPaeth: UnfilterPaeth(row, prior, rowBytes, step); return;
    default: return;  // None, and unknown types: the row is used as it came
  }
}

void UnfilterRowPlain(uint8_t filterType, uint8_t* row, const uint8_t* prior, size_t rowBytes,
                      size_t step) {
  if (filterType < ftSub || filterType > ftPaeth) return;
  for (size_t i = 0; i < rowBytes; ++i) {
    const int a = Left(row, i, step);
    const int b = prior[i];
    const int c = i >= step ? prior[i - step] : 0;
    int predicted = 0;
    if (filterType == ftSub) predicted = a;
    if (filterType == ftUp) predicted = b;
    if (filterType == ftAverage) predicted = (a + b) / 2;
    if (filterType == ftPaeth) predicted = PaethPredictor(a, b, c);
    row[i] = static_cast<uint8_t>(row[i] + predicted);
  }
}

void FilterRow(uint8_t filterType, const uint8_t* row, const uint8_t* prior, size_t rowBytes,
               size_t step, uint8_t* out) {
  for (size_t i = 0; i < rowBytes; ++i) {
    const int a = Left(row, i, step);
    const int b = prior[i];
    const int c = i >= step ? prior[i - step] : 0;
    int predicted = 0;
    switch (filterType) {
      case ftSub: predicted = a; break;
      case ftUp: predicted = b; break;
      case ftAverage: predicted = (a + b) / 2; break;
      case ftPaeth: predicted = PaethPredictor(a, b, c); break;
      default: break;
    }
    out[i] = static_cast<uint8_t>(row[i] - predicted);
  }
}

}  // namespace zorbalin
