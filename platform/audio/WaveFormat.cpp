#include "platform/audio/WaveFormat.h"
#include "platform/afx/Bytes.h"

namespace {
WORD Word(const BYTE* p, size_t size, size_t at) { return at + 2 <= size ? AfxGetLE16(p + at) : 0; }
DWORD Dword(const BYTE* p, size_t size, size_t at) { return at + 4 <= size ? AfxGetLE32(p + at) : 0; }
}  // namespace

void ParseWaveFormat(const BYTE* bytes, size_t size, WAVEFORMATEX& fmt) {
    fmt.wFormatTag = Word(bytes, size, 0);
    fmt.nChannels = Word(bytes, size, 2);
    fmt.nSamplesPerSec = Dword(bytes, size, 4);
    fmt.nAvgBytesPerSec = Dword(bytes, size, 8);
    fmt.nBlockAlign = Word(bytes, size, 12);
    fmt.wBitsPerSample = Word(bytes, size, 14);
    fmt.cbSize = Word(bytes, size, 16);
}

const char* WaveFormatProblem(const WAVEFORMATEX& fmt) {
    if (fmt.wFormatTag != WAVE_FORMAT_PCM) return "not PCM";
    if (fmt.nChannels != 1 && fmt.nChannels != 2) return "neither mono nor stereo";
    if (fmt.wBitsPerSample != 8 && fmt.wBitsPerSample != 16) return "neither 8 nor 16 bits a sample";
    if (fmt.nSamplesPerSec < 1000 || fmt.nSamplesPerSec > 192000) return "sample rate out of range";
    if (fmt.nBlockAlign != fmt.nChannels * fmt.wBitsPerSample / 8) return "block alignment does not match";
    return nullptr;
}

namespace {
void PutTag(std::vector<BYTE>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(BYTE(tag[i]));
}
}  // namespace

WAVEFORMATEX PcmFormat(DWORD rate, WORD channels, WORD bits) {
    WAVEFORMATEX fmt;
    fmt.wFormatTag = WAVE_FORMAT_PCM;
    fmt.nChannels = channels;
    fmt.nSamplesPerSec = rate;
    fmt.wBitsPerSample = bits;
    fmt.nBlockAlign = WORD(channels * bits / 8);
    fmt.nAvgBytesPerSec = rate * fmt.nBlockAlign;
    return fmt;
}

std::vector<BYTE> MakeWaveFile(const WAVEFORMATEX& fmt, const BYTE* samples, size_t bytes) {
    std::vector<BYTE> out;
    const size_t pad = bytes & 1;
    out.reserve(44 + bytes + pad);
    PutTag(out, "RIFF");
    AfxPutLE32(out, DWORD(36 + bytes + pad));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    AfxPutLE32(out, 16);
    AfxPutLE16(out, fmt.wFormatTag);
    AfxPutLE16(out, fmt.nChannels);
    AfxPutLE32(out, fmt.nSamplesPerSec);
    AfxPutLE32(out, fmt.nAvgBytesPerSec);
    AfxPutLE16(out, fmt.nBlockAlign);
    AfxPutLE16(out, fmt.wBitsPerSample);
    PutTag(out, "data");
    AfxPutLE32(out, DWORD(bytes));
    if (bytes) out.insert(out.end(), samples, samples + bytes);
    if (pad) out.push_back(0);
    return out;
}
