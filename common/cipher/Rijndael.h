// The Rijndael block cipher (AES, and its 24- and 32-byte blocks) over whole blocks in ECB, CBC or CFB.
#pragma once

#include <cstddef>
#include <cstdint>

namespace common {

// The only class in the suite that throws: every failure is a std::runtime_error whose what() is one of
// "Empty key", "Incorrect key length", "Incorrect block length", "Object not Initialized",
// "Data not multiple of Block Size". Callers reach it through one adapter that catches and returns an error.
//
// Not thread-safe: the working chain changes with every Encrypt/Decrypt in CBC or CFB mode.
class CRijndael {
public:
    // Any other mode value acts as Ecb.
    enum Mode { Ecb = 0, Cbc = 1, Cfb = 2 };

    static constexpr size_t kMaxBlockLength = 32;
    static constexpr size_t kMaxRounds = 14;

    CRijndael();
    virtual ~CRijndael();

    // `key` holds keyLength bytes and `chain` blockLength bytes (a null chain counts as all zero); both
    // lengths are 16, 24 or 32. Copies the chain into the initial and the working chain block. Arguments
    // are checked before anything changes, so a throwing call leaves the object as it was.
    void MakeKey(const uint8_t* key, const uint8_t* chain, size_t keyLength = 16, size_t blockLength = 16);

    // One block of the block length. `in` and `out` may be the same buffer.
    void EncryptBlock(const uint8_t* in, uint8_t* out) const;
    void DecryptBlock(const uint8_t* in, uint8_t* out) const;

    // `length` bytes, a nonzero multiple of the block length; `out` gets as many. `in` and `out` may be
    // the same buffer. In CBC and CFB the working chain carries over from call to call, so a message may
    // be fed in pieces; only MakeKey sets it again.
    void Encrypt(const uint8_t* in, uint8_t* out, size_t length, int mode = Ecb);
    void Decrypt(const uint8_t* in, uint8_t* out, size_t length, int mode = Ecb);

    size_t KeyLength() const { return m_keyLength; }
    size_t BlockLength() const { return m_blockLength; }
    int Rounds() const { return m_rounds; }

private:
    static constexpr size_t kMaxColumns = kMaxBlockLength / 4;

    void CheckData(size_t length) const;
    void EncryptBlock16(const uint8_t* in, uint8_t* out) const;
    void DecryptBlock16(const uint8_t* in, uint8_t* out) const;
    void EncryptBlockAny(const uint8_t* in, uint8_t* out) const;
    void DecryptBlockAny(const uint8_t* in, uint8_t* out) const;

    bool m_isInitialized = false;
    size_t m_keyLength = 0;
    size_t m_blockLength = 0;
    int m_rounds = 0;
    // Round keys as big-endian column words; the decryption keys are in the order the inverse cipher
    // uses them, with InvMixColumns already applied to the inner rounds.
    uint32_t m_encryptKeys[kMaxRounds + 1][kMaxColumns] = {};
    uint32_t m_decryptKeys[kMaxRounds + 1][kMaxColumns] = {};
    uint8_t m_initialChain[kMaxBlockLength] = {};
    uint8_t m_chain[kMaxBlockLength] = {};
};

}  // namespace common
