#include "map/LevelMapLayerData.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "map/LevelMapDecompressor.h"
#include "map/LevelMapDocument.h"
#include "util/util.h"

namespace
{
const std::size_t MAX_RESERVED = 1u << 20;

bool isSpace(char ch)
{
    return ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t';
}

const char* skipSpace(const char* cursor)
{
    while (isSpace(*cursor))
        ++cursor;
    return cursor;
}

// The scalar reading of a tile id, for the last few bytes of a text (where
// eight cannot be loaded at once) and for ids longer than eight digits.
const char* readIdByDigits(const char* cursor, std::uint32_t& id)
{
    unsigned digit = static_cast<unsigned char>(cursor[0]) - static_cast<unsigned>('0');
    if (digit > 9)
        return nullptr;
    // Nine digits never overflow 32 bits, so only longer numbers are
    // checked; a character is read only after a digit.
    std::uint32_t value = digit;
    for (int at = 1; at < 9; ++at)
    {
        digit = static_cast<unsigned char>(cursor[at]) - static_cast<unsigned>('0');
        if (digit > 9)
        {
            id = value;
            return cursor + at;
        }
        value = value * 10 + digit;
    }
    std::uint64_t wide = value;
    for (cursor += 9; (digit = static_cast<unsigned char>(*cursor) - static_cast<unsigned>('0')) <= 9; ++cursor)
    {
        wide = wide * 10 + digit;
        if (wide > 0xFFFFFFFFull)
            return nullptr;
    }
    id = static_cast<std::uint32_t>(wide);
    return cursor;
}

// How many of the eight bytes of `chunk` (first byte lowest) are digits
// before the first byte that is not one.
unsigned leadingDigits(std::uint64_t chunk)
{
    // A byte is a digit when its high half is 3 and its low half is at most
    // 9; adding 6 to the low half carries into bit 4 exactly when it is not,
    // and never into the next byte.
    const std::uint64_t highHalves = (chunk & UINT64_C(0xF0F0F0F0F0F0F0F0)) ^ UINT64_C(0x3030303030303030);
    const std::uint64_t lowTooBig =
        ((chunk & UINT64_C(0x0F0F0F0F0F0F0F0F)) + UINT64_C(0x0606060606060606)) & UINT64_C(0xF0F0F0F0F0F0F0F0);
    const std::uint64_t other = highHalves | lowTooBig;
    // The top bit of each byte of `other` that is not zero.
    const std::uint64_t marks = (other | ((other & UINT64_C(0x7F7F7F7F7F7F7F7F)) + UINT64_C(0x7F7F7F7F7F7F7F7F))) &
                                UINT64_C(0x8080808080808080);
    return marks == 0 ? 8u : static_cast<unsigned>(__builtin_ctzll(marks)) / 8u;
}

// The value of the first `count` (1 to 8) digits of `chunk`: shifting them to
// the top leaves zeros, that is leading zeros, below them, and three
// multiplications then join pairs, fours and eights of digits.
std::uint32_t digitsValue(std::uint64_t chunk, unsigned count)
{
    std::uint64_t value = (chunk & UINT64_C(0x0F0F0F0F0F0F0F0F)) << (8 * (8 - count));
    value = (value * 2561) >> 8;
    value = ((value & UINT64_C(0x00FF00FF00FF00FF)) * 6553601) >> 16;
    return static_cast<std::uint32_t>(((value & UINT64_C(0x0000FFFF0000FFFF)) * UINT64_C(42949672960001)) >> 32);
}

// A tile id in decimal: digits only, at most 32 bits. Null when the text
// at `cursor` is not one; otherwise the first character after it. Eight
// bytes are looked at together where the text has them, which spares a
// branch per digit that the end of every number would mispredict.
const char* readId(const char* cursor, const char* end, std::uint32_t& id)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if (end - cursor < 8)
        return readIdByDigits(cursor, id);
    std::uint64_t chunk;
    std::memcpy(&chunk, cursor, sizeof chunk);
    const unsigned count = leadingDigits(chunk);
    if (count == 0)
        return nullptr;
    if (count < 8)
    {
        id = digitsValue(chunk, count);
        return cursor + count;
    }
    // Flipped tiles have ten digits: the next eight bytes give the last two
    // without a branch per digit. Longer runs (leading zeros) go one by one,
    // checked against 32 bits.
    std::uint64_t wide = digitsValue(chunk, 8);
    if (end - cursor >= 16)
    {
        std::uint64_t next;
        std::memcpy(&next, cursor + 8, sizeof next);
        const unsigned more = leadingDigits(next);
        if (more <= 2)
        {
            static const std::uint64_t scale[3] = {1, 10, 100};
            wide = wide * scale[more] + (more > 0 ? digitsValue(next, more) : 0);
            if (wide > 0xFFFFFFFFull)
                return nullptr;
            id = static_cast<std::uint32_t>(wide);
            return cursor + 8 + more;
        }
    }
    unsigned digit;
    for (cursor += 8; (digit = static_cast<unsigned char>(*cursor) - static_cast<unsigned>('0')) <= 9; ++cursor)
    {
        wide = wide * 10 + digit;
        if (wide > 0xFFFFFFFFull)
            return nullptr;
    }
    id = static_cast<std::uint32_t>(wide);
    return cursor;
#else
    (void)end;
    return readIdByDigits(cursor, id);
#endif
}

#if defined(__SSE2__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
// What the 64 bytes of a block of CSV text are, one bit a byte.
struct CsvBlock
{
    std::uint64_t digits = 0;
    std::uint64_t commas = 0;
    std::uint64_t other = 0; // neither digit, comma nor space
};

CsvBlock classify(const char* bytes)
{
    CsvBlock block;
    const __m128i zero = _mm_set1_epi8('0');
    const __m128i nine = _mm_set1_epi8(9);
    for (int part = 0; part < 4; ++part)
    {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
        const __m128i shifted = _mm_sub_epi8(v, zero);
        const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(shifted, nine), shifted);
        const __m128i comma = _mm_cmpeq_epi8(v, _mm_set1_epi8(','));
        const __m128i space =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))),
                         _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'))));
        const int shift = 16 * part;
        block.digits |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(digit))) << shift;
        block.commas |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(comma))) << shift;
        const unsigned known =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(digit, comma), space)));
        block.other |= static_cast<std::uint64_t>(~known & 0xFFFFu) << shift;
    }
    return block;
}

// Bit i of the result is the parity of the bits 0 to i of `bits`.
std::uint64_t prefixParity(std::uint64_t bits)
{
    bits ^= bits << 1;
    bits ^= bits << 2;
    bits ^= bits << 4;
    bits ^= bits << 8;
    bits ^= bits << 16;
    bits ^= bits << 32;
    return bits;
}

// Which of the sixteen bytes that end an id (its last digit the top byte)
// belong to an id of each length, as the digits' low halves; none for
// lengths this reading does not take (past ten digits no id fits 32 bits
// but for leading zeros, which are left to the reading by digits).
struct IdMasks
{
    __m128i digits[11];
    IdMasks()
    {
        for (int length = 0; length <= 10; ++length)
        {
            alignas(16) unsigned char bytes[16] = {};
            for (int at = 16 - length; at < 16; ++at)
                bytes[at] = 0x0F;
            digits[length] = _mm_load_si128(reinterpret_cast<const __m128i*>(bytes));
        }
    }
};

const IdMasks idMasks;

// The digits of the id whose last digit is the byte before `after` (the
// sixteen bytes before it readable), two to a 32-bit lane: four lanes of up
// to four digits, the most significant first.
inline __m128i idQuads(const char* after, std::size_t length)
{
    const __m128i digits = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(after - 16)),
                                         idMasks.digits[length <= 10 ? length : 0]);
    // Pairs: the earlier digit of each (the low byte) times ten plus the later.
    const __m128i tens = _mm_and_si128(_mm_mullo_epi16(digits, _mm_set1_epi16(10)), _mm_set1_epi16(0xFF));
    const __m128i pairs = _mm_add_epi16(tens, _mm_srli_epi16(digits, 8));
    return _mm_madd_epi16(pairs, _mm_set1_epi32((1 << 16) | 100));
}

// Two ids' values, as 64-bit lanes, from their quads.
inline __m128i idValues(__m128i first, __m128i second)
{
    // Each id's two halves of eight digits, then the first half times 10^8
    // plus the second.
    const __m128i halves = _mm_madd_epi16(_mm_packs_epi32(first, second), _mm_set1_epi32((1 << 16) | 10000));
    return _mm_add_epi64(_mm_mul_epu32(halves, _mm_set1_epi32(100000000)), _mm_srli_epi64(halves, 32));
}

// Four ids' values from their quads; `over` gathers the top halves of
// values past 32 bits.
inline __m128i fourValues(__m128i a, __m128i b, __m128i c, __m128i d, __m128i& over)
{
    const __m128i first = idValues(a, b);
    const __m128i second = idValues(c, d);
    over = _mm_or_si128(over, _mm_or_si128(first, second));
    return _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(first), _mm_castsi128_ps(second), _MM_SHUFFLE(2, 0, 2, 0)));
}

// Appends the first `count` of four values, as many as fit before `full`.
inline std::uint32_t* storeIds(__m128i values, std::size_t count, std::uint32_t* out, std::uint32_t* const full)
{
    const std::size_t fits = static_cast<std::size_t>(full - out);
    if (fits >= 4)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), values);
        return out + count;
    }
    alignas(16) std::uint32_t last[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(last), values);
    const std::size_t taken = std::min(fits, count);
    std::memcpy(out, last, taken * sizeof *out);
    return out + taken;
}

// The quads of a block's next id, its start and end taken off the masks.
// Ids of more than ten digits (leading zeros) set `overTen`.
inline __m128i nextId(const char* bytes, std::uint64_t& starts, std::uint64_t& afterEnds, std::size_t& overTen)
{
    const unsigned start = static_cast<unsigned>(__builtin_ctzll(starts));
    const unsigned stop = static_cast<unsigned>(__builtin_ctzll(afterEnds));
    starts &= starts - 1;
    afterEnds &= afterEnds - 1;
    overTen |= stop - start > 10;
    return idQuads(bytes + stop, stop - start);
}

// Whether at least four bits are set.
bool hasFour(std::uint64_t bits)
{
    bits &= bits - 1;
    bits &= bits - 1;
    return (bits & (bits - 1)) != 0;
}

// A block's 64 bytes with the 16 before them readable: the text itself in
// its middle, else a copy where bytes outside the text are spaces.
const char* blockBytes(const char* text, const char* end, const char* base, char (&padded)[80])
{
    if (base - text >= 16 && end - base >= 64)
        return base;
    for (std::ptrdiff_t at = -16; at < 64; ++at)
        padded[at + 16] = base + at >= text && base + at < end ? base[at] : ' ';
    return padded + 16;
}

// CSV ids found 64 bytes at a time: where every number starts and ends
// comes from bit masks, so reading one id waits neither for the end of the
// one before it nor on its own digits. Text in the editor's plain form (ids,
// single commas between them, spaces) is read here; anything else returns
// false at once and is left to the reading one id after another, which
// names what is wrong.
bool readCsvBlocks(const char* text, const char* end, std::uint32_t* out, std::uint32_t* const full,
                   std::uint32_t*& reached)
{
    std::uint64_t digitBefore = 0; // the last byte of the block before was a digit
    std::uint64_t oddEvents = 0;   // an id start was the last event: a comma must come next
    std::size_t pending = 0;       // where an id that runs on into the next block starts
    // A text ending in a digit takes one block past its end, of spaces only.
    for (const char* base = text; (base < end || digitBefore) && out < full; base += 64)
    {
        char padded[80];
        const char* bytes = blockBytes(text, end, base, padded);
        const CsvBlock block = classify(bytes);
        if (block.other)
            return false;
        const std::uint64_t runOn = (block.digits << 1) | digitBefore;
        std::uint64_t starts = block.digits & ~runOn;
        std::uint64_t afterEnds = ~block.digits & runOn;
        // Starts and commas must take turns, a start first: each start is
        // an odd event and each comma an even one.
        const std::uint64_t parity = prefixParity(starts | block.commas) ^ (oddEvents ? ~UINT64_C(0) : 0);
        if ((starts & ~parity) || (block.commas & parity))
            return false;
        digitBefore = block.digits >> 63;
        oddEvents = parity >> 63;
        const std::size_t offset = static_cast<std::size_t>(base - text);
        // Ids of more than ten digits (leading zeros) and values past 32
        // bits are left to the reading by digits.
        std::size_t overTen = 0;
        __m128i over = _mm_setzero_si128();
        const __m128i none = _mm_setzero_si128();
        if (runOn & 1)
        {
            // The first end closes the id begun in a block before; a block
            // of digits only holds none, and no id is that long.
            if (!afterEnds)
                return false;
            const unsigned stop = static_cast<unsigned>(__builtin_ctzll(afterEnds));
            afterEnds &= afterEnds - 1;
            const std::size_t length = offset + stop - pending;
            overTen |= length > 10;
            out = storeIds(fourValues(idQuads(bytes + stop, length), none, none, none, over), 1, out, full);
        }
        while (hasFour(afterEnds))
        {
            const __m128i a = nextId(bytes, starts, afterEnds, overTen);
            const __m128i b = nextId(bytes, starts, afterEnds, overTen);
            const __m128i c = nextId(bytes, starts, afterEnds, overTen);
            const __m128i d = nextId(bytes, starts, afterEnds, overTen);
            out = storeIds(fourValues(a, b, c, d, over), 4, out, full);
        }
        if (afterEnds)
        {
            std::size_t count = 1;
            const __m128i a = nextId(bytes, starts, afterEnds, overTen);
            const __m128i b = afterEnds ? (++count, nextId(bytes, starts, afterEnds, overTen)) : none;
            const __m128i c = afterEnds ? (++count, nextId(bytes, starts, afterEnds, overTen)) : none;
            out = storeIds(fourValues(a, b, c, none, over), count, out, full);
        }
        if (starts)
            pending = offset + static_cast<unsigned>(__builtin_ctzll(starts));
        // A lane's top half is set for a value past 32 bits.
        if (overTen || _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi64(over, 32), none)) != 0xFFFF)
            return false;
    }
    reached = out;
    return true;
}
#endif

std::string near(const char* cursor, const char* end)
{
    return std::string(cursor, std::min<std::size_t>(12, static_cast<std::size_t>(end - cursor)));
}

// Base64 digit values; -1 for any other character.
struct Base64Table
{
    signed char value[256];
    Base64Table()
    {
        for (signed char& v : value)
            v = -1;
        const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i)
            value[static_cast<unsigned char>(digits[i])] = static_cast<signed char>(i);
    }
};

void readLittleEndian(const std::vector<unsigned char>& bytes, std::size_t count, std::vector<std::uint32_t>& gids)
{
    std::size_t ids = bytes.size() / 4 < count ? bytes.size() / 4 : count;
    gids.resize(ids);
    const unsigned char* at = bytes.data();
    for (std::size_t i = 0; i < ids; ++i, at += 4)
    {
        gids[i] = static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
                  static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
    }
}
}

bool LevelMapLayerData::decode(const tinyxml2::XMLElement* data, std::size_t count, std::vector<std::uint32_t>& gids,
                               std::string& problem)
{
    return decode(data, data->Attribute("encoding"), data->Attribute("compression"), count, gids, problem);
}

bool LevelMapLayerData::decode(const tinyxml2::XMLElement* element, const char* encoding, const char* compression,
                               std::size_t count, std::vector<std::uint32_t>& gids, std::string& problem)
{
    gids.clear();
    std::string kind = nullToEmpty(encoding);
    if (compression && kind != "base64")
    {
        problem = "layer data is compressed but not base64 encoded";
        return false;
    }
    if (kind.empty())
        return decodeTiles(element, count, gids, problem);
    if (kind == "csv")
    {
        // Read from the file's own bytes where the document set them aside.
        std::pair<const char*, const char*> span = LevelMapDocument::csvText(element);
        if (!span.first)
        {
            const char* raw = element->GetText();
            span.first = raw ? raw : "";
            span.second = span.first + std::strlen(span.first);
        }
        return decodeCsv(span.first, span.second, count, gids, problem);
    }
    const char* raw = element->GetText();
    const char* text = raw ? raw : "";
    if (kind == "base64")
        return decodeBase64(text, compression, count, gids, problem);
    problem = "layer data has the unknown encoding \"" + kind + "\"";
    return false;
}

bool LevelMapLayerData::tooFew(std::size_t found, std::size_t count, std::string& problem)
{
    if (found >= count)
        return false;
    problem = "layer data holds " + std::to_string(found) + " tiles, " + std::to_string(count) + " expected";
    return true;
}

bool LevelMapLayerData::decodeTiles(const tinyxml2::XMLElement* data, std::size_t count,
                                    std::vector<std::uint32_t>& gids, std::string& problem)
{
    // A size written wrongly must not make us ask for memory the data cannot fill.
    gids.reserve(count < MAX_RESERVED ? count : MAX_RESERVED);
    for (const tinyxml2::XMLElement* tile = data->FirstChildElement("tile"); tile && gids.size() < count;
         tile = tile->NextSiblingElement("tile"))
    {
        // An empty cell may be written as <tile/> without a gid.
        const char* raw = tile->Attribute("gid");
        std::uint32_t gid = 0;
        if (raw && !readIdByDigits(skipSpace(raw), gid))
        {
            problem = "layer data holds <tile gid=\"" + std::string(raw) + "\">, which is not a tile id";
            return false;
        }
        gids.push_back(gid);
    }
    return !tooFew(gids.size(), count, problem);
}

bool LevelMapLayerData::decodeCsv(const char* text, const char* end, std::size_t count,
                                  std::vector<std::uint32_t>& gids, std::string& problem)
{
    // Each id takes a digit and a comma at least, so the text bounds how
    // many there can be, whatever size the layer claims.
    const std::size_t most = std::min(count, static_cast<std::size_t>(end - text) / 2 + 1);
    gids.resize(most);
    std::uint32_t* out = gids.data();
    std::uint32_t* const full = out + most;
#if defined(__SSE2__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::uint32_t* reached = nullptr;
    if (readCsvBlocks(text, end, out, full, reached))
    {
        gids.resize(static_cast<std::size_t>(reached - gids.data()));
        return !tooFew(gids.size(), count, problem);
    }
#endif
    const char* cursor = skipSpace(text);
    while (out < full && cursor < end)
    {
        const char* after = readId(cursor, end, *out);
        if (!after)
        {
            problem = "layer CSV data holds a value that is not a tile id near \"" + near(cursor, end) + "\"";
            return false;
        }
        ++out;
        // The editor writes "12,7,9": a comma right before the next digit
        // needs none of the checks below.
        if (after[0] == ',' && after[1] >= '0' && after[1] <= '9')
        {
            cursor = after + 1;
            continue;
        }
        cursor = skipSpace(after);
        if (cursor < end && *cursor == ',')
            cursor = skipSpace(cursor + 1);
        else if (cursor < end)
        {
            problem = "layer CSV data has an unexpected character '" + std::string(1, *cursor) + "'";
            return false;
        }
    }
    gids.resize(static_cast<std::size_t>(out - gids.data()));
    return !tooFew(gids.size(), count, problem);
}

bool LevelMapLayerData::decodeBase64(const char* text, const char* compression, std::size_t count,
                                     std::vector<std::uint32_t>& gids, std::string& problem)
{
    std::vector<unsigned char> bytes;
    if (count > static_cast<std::size_t>(-1) / 4)
    {
        problem = "layer data claims more tiles than memory can hold";
        return false;
    }
    if (!base64Bytes(text, bytes))
    {
        problem = "layer base64 data is not valid base64";
        return false;
    }
    if (compression)
    {
        std::vector<unsigned char> unpacked;
        if (!LevelMapDecompressor::unpack(compression, bytes, count * 4, unpacked, problem))
            return false;
        bytes.swap(unpacked);
    }
    readLittleEndian(bytes, count, gids);
    return !tooFew(gids.size(), count, problem);
}

bool LevelMapLayerData::base64Bytes(const char* text, std::vector<unsigned char>& bytes)
{
    static const Base64Table table;
    unsigned int buffer = 0;
    int bits = 0;
    bool padding = false;
    bytes.reserve(std::strlen(text) / 4 * 3 + 3);
    for (const char* cursor = text; *cursor; ++cursor)
    {
        const char ch = *cursor;
        if (isSpace(ch))
            continue;
        if (ch == '=')
        {
            padding = true;
            continue;
        }
        const int value = table.value[static_cast<unsigned char>(ch)];
        if (value < 0 || padding)
            return false; // not base64, or data after the padding
        buffer = (buffer << 6) | static_cast<unsigned int>(value);
        bits += 6;
        if (bits >= 8)
        {
            bits -= 8;
            bytes.push_back(static_cast<unsigned char>((buffer >> bits) & 0xFF));
        }
    }
    return true;
}
