// Raw LZMA1 decoding into a caller's buffer of known size (range coder, literal
// and match models as the format defines them). Every read and write is checked.
#include "skins/lzma_decoder.h"

namespace {

constexpr uint32_t kProbBits = 11;
constexpr uint32_t kProbInit = (1u << kProbBits) / 2;
constexpr uint32_t kMoveBits = 5;
constexpr uint32_t kTopValue = 1u << 24;
constexpr uint32_t kStates = 12;
constexpr uint32_t kPosBitsMax = 4;
constexpr uint32_t kLenToPosStates = 4;
constexpr uint32_t kAlignBits = 4;
constexpr uint32_t kEndPosModelIndex = 14;
constexpr uint32_t kFullDistances = 1u << (kEndPosModelIndex >> 1);
constexpr uint32_t kMatchMinLen = 2;
constexpr uint32_t kEndMarkerDistance = 0xFFFFFFFFu;

// Length coder layout: choice, choice2, low[16][8], mid[16][8], high[256].
constexpr uint32_t kLenChoice = 0;
constexpr uint32_t kLenChoice2 = 1;
constexpr uint32_t kLenLow = 2;
constexpr uint32_t kLenMid = kLenLow + (16u << 3);
constexpr uint32_t kLenHigh = kLenMid + (16u << 3);
constexpr uint32_t kLenProbs = kLenHigh + 256;

// Model layout inside LzmaState::probs.
constexpr uint32_t kIsMatch = 0;
constexpr uint32_t kIsRep = kIsMatch + (kStates << kPosBitsMax);
constexpr uint32_t kIsRepG0 = kIsRep + kStates;
constexpr uint32_t kIsRepG1 = kIsRepG0 + kStates;
constexpr uint32_t kIsRepG2 = kIsRepG1 + kStates;
constexpr uint32_t kIsRep0Long = kIsRepG2 + kStates;
constexpr uint32_t kPosSlot = kIsRep0Long + (kStates << kPosBitsMax);
constexpr uint32_t kSpecPos = kPosSlot + (kLenToPosStates << 6);
constexpr uint32_t kAlign = kSpecPos + kFullDistances - kEndPosModelIndex + 1;
constexpr uint32_t kLenCoder = kAlign + (1u << kAlignBits);
constexpr uint32_t kRepLenCoder = kLenCoder + kLenProbs;
constexpr uint32_t kLiteral = kRepLenCoder + kLenProbs;
static_assert(kLiteral <= LzmaState::kModelProbs, "model does not fit the state");

class RangeDecoder {
public:
    RangeDecoder(const uint8_t* in, size_t size) : in_(in), size_(size) {}

    bool Init()
    {
        const uint8_t first = Next();
        for (int i = 0; i < 4; ++i)
            code_ = (code_ << 8) | Next();
        return first == 0 && code_ != range_ && !overrun_;
    }

    uint32_t Bit(uint16_t* prob)
    {
        uint32_t v = *prob;
        const uint32_t bound = (range_ >> kProbBits) * v;
        uint32_t symbol;
        if (code_ < bound) {
            v += ((1u << kProbBits) - v) >> kMoveBits;
            range_ = bound;
            symbol = 0;
        } else {
            v -= v >> kMoveBits;
            code_ -= bound;
            range_ -= bound;
            symbol = 1;
        }
        *prob = static_cast<uint16_t>(v);
        Normalize();
        return symbol;
    }

    uint32_t DirectBits(uint32_t count)
    {
        uint32_t result = 0;
        do {
            range_ >>= 1;
            code_ -= range_;
            const uint32_t t = 0u - (code_ >> 31);
            code_ += range_ & t;
            if (code_ == range_)
                corrupt_ = true;
            Normalize();
            result = (result << 1) + (t + 1);
        } while (--count);
        return result;
    }

    uint32_t Tree(uint16_t* probs, uint32_t bits)
    {
        uint32_t m = 1;
        for (uint32_t i = 0; i < bits; ++i)
            m = (m << 1) + Bit(&probs[m]);
        return m - (1u << bits);
    }

    uint32_t ReverseTree(uint16_t* probs, uint32_t bits)
    {
        uint32_t m = 1, symbol = 0;
        for (uint32_t i = 0; i < bits; ++i) {
            const uint32_t bit = Bit(&probs[m]);
            m = (m << 1) + bit;
            symbol |= bit << i;
        }
        return symbol;
    }

    bool FinishedOk() const { return code_ == 0 && !overrun_; }
    bool Overrun() const { return overrun_; }
    bool Corrupt() const { return corrupt_; }
    bool AllConsumed() const { return pos_ == size_; }

private:
    uint8_t Next()
    {
        if (pos_ < size_)
            return in_[pos_++];
        overrun_ = true;
        return 0;
    }
    void Normalize()
    {
        if (range_ < kTopValue) {
            range_ <<= 8;
            code_ = (code_ << 8) | Next();
        }
    }

    const uint8_t* in_;
    size_t size_;
    size_t pos_ = 0;
    uint32_t range_ = 0xFFFFFFFFu;
    uint32_t code_ = 0;
    bool overrun_ = false;
    bool corrupt_ = false;
};

uint32_t DecodeLength(RangeDecoder& rc, uint16_t* len, uint32_t posState)
{
    if (rc.Bit(&len[kLenChoice]) == 0)
        return rc.Tree(&len[kLenLow + (posState << 3)], 3);
    if (rc.Bit(&len[kLenChoice2]) == 0)
        return 8 + rc.Tree(&len[kLenMid + (posState << 3)], 3);
    return 16 + rc.Tree(&len[kLenHigh], 8);
}

uint32_t DecodeDistance(RangeDecoder& rc, uint16_t* probs, uint32_t len)
{
    const uint32_t lenState = len < kLenToPosStates - 1 ? len : kLenToPosStates - 1;
    const uint32_t posSlot = rc.Tree(&probs[kPosSlot + (lenState << 6)], 6);
    if (posSlot < 4)
        return posSlot;
    const uint32_t directBits = (posSlot >> 1) - 1;
    uint32_t dist = (2 | (posSlot & 1)) << directBits;
    if (posSlot < kEndPosModelIndex)
        return dist + rc.ReverseTree(&probs[kSpecPos + dist - posSlot], directBits);
    dist += rc.DirectBits(directBits - kAlignBits) << kAlignBits;
    return dist + rc.ReverseTree(&probs[kAlign], kAlignBits);
}

uint32_t NextStateAfterLiteral(uint32_t s) { return s < 4 ? 0 : (s < 10 ? s - 3 : s - 6); }

LzmaResult Failure(const RangeDecoder& rc) { return rc.Overrun() ? LzmaResult::Truncated : LzmaResult::Corrupt; }

}  // namespace

bool ParseLzmaProperties(const uint8_t props[5], LzmaProperties& out)
{
    uint32_t d = props[0];
    if (d >= 9 * 5 * 5)
        return false;
    out.lc = d % 9;
    d /= 9;
    out.lp = d % 5;
    out.pb = d / 5;
    out.dictionarySize = uint32_t(props[1]) | uint32_t(props[2]) << 8 | uint32_t(props[3]) << 16 |
                         uint32_t(props[4]) << 24;
    return out.lc + out.lp <= LzmaState::kMaxLiteralBits;
}

LzmaResult LzmaDecode(LzmaState& state, const LzmaProperties& props, const uint8_t* in,
                      size_t inLength, uint8_t* out, size_t outLength)
{
    if (props.lc + props.lp > LzmaState::kMaxLiteralBits || props.pb > kPosBitsMax)
        return LzmaResult::BadProperties;
    uint16_t* const p = state.probs;
    const uint32_t total = kLiteral + (0x300u << (props.lc + props.lp));
    for (uint32_t i = 0; i < total; ++i)
        p[i] = kProbInit;

    RangeDecoder rc(in, inLength);
    if (!rc.Init())
        return Failure(rc);

    const uint32_t pbMask = (1u << props.pb) - 1;
    const uint32_t lpMask = (1u << props.lp) - 1;
    const uint32_t dictSize = props.dictionarySize < 4096 ? 4096 : props.dictionarySize;
    uint32_t s = 0, rep0 = 0, rep1 = 0, rep2 = 0, rep3 = 0;
    size_t pos = 0;

    for (;;) {
        if (rc.Corrupt() || rc.Overrun())
            return Failure(rc);
        // Without an end marker the stream ends exactly here; otherwise the marker follows.
        if (pos == outLength && rc.FinishedOk() && rc.AllConsumed())
            return LzmaResult::Ok;

        const uint32_t posState = static_cast<uint32_t>(pos) & pbMask;
        if (rc.Bit(&p[kIsMatch + (s << kPosBitsMax) + posState]) == 0) {
            if (pos == outLength)
                return Failure(rc);
            const uint32_t prev = pos > 0 ? out[pos - 1] : 0;
            const uint32_t litState =
                ((static_cast<uint32_t>(pos) & lpMask) << props.lc) + (prev >> (8 - props.lc));
            uint16_t* lit = &p[kLiteral + 0x300u * litState];
            uint32_t symbol = 1;
            if (s >= 7) {
                if (rep0 >= pos)
                    return LzmaResult::Corrupt;
                uint32_t matchByte = out[pos - rep0 - 1];
                do {
                    const uint32_t matchBit = (matchByte >> 7) & 1;
                    matchByte <<= 1;
                    const uint32_t bit = rc.Bit(&lit[((1 + matchBit) << 8) + symbol]);
                    symbol = (symbol << 1) | bit;
                    if (matchBit != bit)
                        break;
                } while (symbol < 0x100);
            }
            while (symbol < 0x100)
                symbol = (symbol << 1) | rc.Bit(&lit[symbol]);
            out[pos++] = static_cast<uint8_t>(symbol);
            s = NextStateAfterLiteral(s);
            continue;
        }

        uint32_t len;
        if (rc.Bit(&p[kIsRep + s]) != 0) {
            if (pos == outLength || pos == 0)
                return Failure(rc);
            if (rc.Bit(&p[kIsRepG0 + s]) == 0) {
                if (rc.Bit(&p[kIsRep0Long + (s << kPosBitsMax) + posState]) == 0) {
                    s = s < 7 ? 9 : 11;
                    if (rep0 >= pos)
                        return LzmaResult::Corrupt;
                    out[pos] = out[pos - rep0 - 1];
                    ++pos;
                    continue;
                }
            } else {
                uint32_t dist;
                if (rc.Bit(&p[kIsRepG1 + s]) == 0) {
                    dist = rep1;
                } else {
                    if (rc.Bit(&p[kIsRepG2 + s]) == 0) {
                        dist = rep2;
                    } else {
                        dist = rep3;
                        rep3 = rep2;
                    }
                    rep2 = rep1;
                }
                rep1 = rep0;
                rep0 = dist;
            }
            len = DecodeLength(rc, &p[kRepLenCoder], posState);
            s = s < 7 ? 8 : 11;
        } else {
            rep3 = rep2;
            rep2 = rep1;
            rep1 = rep0;
            len = DecodeLength(rc, &p[kLenCoder], posState);
            s = s < 7 ? 7 : 10;
            rep0 = DecodeDistance(rc, p, len);
            if (rep0 == kEndMarkerDistance) {
                if (pos < outLength)
                    return LzmaResult::Truncated;
                if (!rc.FinishedOk())
                    return Failure(rc);
                return rc.AllConsumed() ? LzmaResult::Ok : LzmaResult::Corrupt;
            }
            if (pos == outLength || rep0 >= dictSize)
                return Failure(rc);
        }
        if (rep0 >= pos)
            return LzmaResult::Corrupt;
        len += kMatchMinLen;
        if (len > outLength - pos)
            return LzmaResult::Corrupt;
        for (uint32_t i = 0; i < len; ++i, ++pos)
            out[pos] = out[pos - rep0 - 1];
    }
}
