#include "platform/afx/Bytes.h"
#include "tools/mkdata/AviWriter.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace kit {

namespace {

class Out {
public:
    std::vector<uint8_t> b;
    void Id(const char* four) { b.insert(b.end(), four, four + 4); }
    void U16(uint32_t v) { AfxPutLE16(b, uint16_t(v)); }
    void U32(uint32_t v) { AfxPutLE32(b, v); }
    // Opens a chunk; returns where its size goes.
    size_t Open(const char* id) {
        Id(id);
        U32(0);
        return b.size() - 4;
    }
    size_t OpenList(const char* listId, const char* type) {
        size_t at = Open(listId);
        Id(type);
        return at;
    }
    void Close(size_t sizeAt) {
        uint32_t size = uint32_t(b.size() - sizeAt - 4);
        for (int i = 0; i < 4; ++i) b[sizeAt + size_t(i)] = uint8_t(size >> (8 * i));
        if (size & 1) b.push_back(0);
    }
};

}  // namespace

AviWriter::AviWriter(int width, int height, int fps, int sampleRate, int channels)
    : m_width(width), m_height(height), m_fps(fps), m_rate(sampleRate), m_channels(channels) {
    if (width <= 0 || height <= 0 || fps <= 0) throw std::runtime_error("AVI: bad frame format");
}

uint32_t AviWriter::FrameBytes() const { return ((uint32_t(m_width) * 3 + 3) & ~3u) * uint32_t(m_height); }

void AviWriter::AddFrame(const std::vector<uint8_t>& rows, const std::vector<int16_t>& samples) {
    if (rows.size() != FrameBytes()) throw std::runtime_error("AVI: frame of the wrong size");
    if (m_channels > 0 && !samples.empty()) {
        Chunk sound{{'0', '1', 'w', 'b'}, {}};
        sound.data.resize(samples.size() * 2);
        for (size_t i = 0; i < samples.size(); ++i) {
            sound.data[i * 2] = uint8_t(uint16_t(samples[i]));
            sound.data[i * 2 + 1] = uint8_t(uint16_t(samples[i]) >> 8);
        }
        m_samples += uint32_t(samples.size() / size_t(m_channels));
        m_largestSound = std::max(m_largestSound, uint32_t(sound.data.size()));
        m_chunks.push_back(std::move(sound));
    }
    m_chunks.push_back(Chunk{{'0', '0', 'd', 'b'}, rows});
    ++m_frames;
}

std::vector<uint8_t> AviWriter::Finish() const {
    const bool sound = m_channels > 0;
    const uint32_t blockAlign = uint32_t(m_channels) * 2;
    const uint32_t frameBytes = FrameBytes();
    Out o;
    size_t riff = o.OpenList("RIFF", "AVI ");
    size_t hdrl = o.OpenList("LIST", "hdrl");
    size_t avih = o.Open("avih");
    o.U32(uint32_t(1000000 / m_fps));                                        // microseconds per frame
    o.U32(frameBytes * uint32_t(m_fps) + (sound ? uint32_t(m_rate) * blockAlign : 0));  // max bytes per second
    o.U32(0);                                                                // padding granularity
    o.U32(0x10);                                                             // has an index
    o.U32(uint32_t(m_frames));
    o.U32(0);  // initial frames
    o.U32(sound ? 2 : 1);
    o.U32(frameBytes + 8);  // suggested buffer
    o.U32(uint32_t(m_width));
    o.U32(uint32_t(m_height));
    for (int i = 0; i < 4; ++i) o.U32(0);
    o.Close(avih);

    // Picture stream.
    size_t strl = o.OpenList("LIST", "strl");
    size_t strh = o.Open("strh");
    o.Id("vids");
    o.Id("DIB ");
    o.U32(0);  // flags
    o.U16(0);  // priority
    o.U16(0);  // language
    o.U32(0);  // initial frames
    o.U32(1);  // scale
    o.U32(uint32_t(m_fps));
    o.U32(0);  // start
    o.U32(uint32_t(m_frames));
    o.U32(frameBytes);
    o.U32(0xFFFFFFFFu);  // quality
    o.U32(frameBytes);   // sample size
    o.U16(0);
    o.U16(0);
    o.U16(uint32_t(m_width));
    o.U16(uint32_t(m_height));
    o.Close(strh);
    size_t strf = o.Open("strf");
    o.U32(40);
    o.U32(uint32_t(m_width));
    o.U32(uint32_t(m_height));  // positive: rows bottom-up
    o.U16(1);
    o.U16(24);
    o.U32(0);
    o.U32(frameBytes);
    o.U32(0);
    o.U32(0);
    o.U32(0);
    o.U32(0);
    o.Close(strf);
    o.Close(strl);

    if (sound) {
        size_t sstrl = o.OpenList("LIST", "strl");
        size_t sstrh = o.Open("strh");
        o.Id("auds");
        o.U32(0);  // no handler
        o.U32(0);
        o.U16(0);
        o.U16(0);
        o.U32(0);
        o.U32(blockAlign);                      // scale
        o.U32(uint32_t(m_rate) * blockAlign);   // rate: bytes per second
        o.U32(0);
        o.U32(m_samples);                       // length in blocks
        o.U32(m_largestSound);
        o.U32(0xFFFFFFFFu);
        o.U32(blockAlign);                      // sample size
        o.U16(0);
        o.U16(0);
        o.U16(0);
        o.U16(0);
        o.Close(sstrh);
        size_t sstrf = o.Open("strf");
        o.U16(1);  // PCM
        o.U16(uint32_t(m_channels));
        o.U32(uint32_t(m_rate));
        o.U32(uint32_t(m_rate) * blockAlign);
        o.U16(blockAlign);
        o.U16(16);
        o.Close(sstrf);
        o.Close(sstrl);
    }
    o.Close(hdrl);

    size_t movi = o.OpenList("LIST", "movi");
    const size_t moviType = movi + 4;
    struct Entry {
        char id[4];
        uint32_t offset, size;
    };
    std::vector<Entry> index;
    for (const Chunk& c : m_chunks) {
        Entry e;
        std::memcpy(e.id, c.id, 4);
        e.offset = uint32_t(o.b.size() - moviType);
        e.size = uint32_t(c.data.size());
        index.push_back(e);
        size_t at = o.Open(std::string(c.id, 4).c_str());
        o.b.insert(o.b.end(), c.data.begin(), c.data.end());
        o.Close(at);
    }
    o.Close(movi);
    size_t idx = o.Open("idx1");
    for (const Entry& e : index) {
        o.b.insert(o.b.end(), e.id, e.id + 4);
        o.U32(0x10);  // key frame: every frame stands alone
        o.U32(e.offset);
        o.U32(e.size);
    }
    o.Close(idx);
    o.Close(riff);
    return o.b;
}

}  // namespace kit
