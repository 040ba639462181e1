// TDS 5.0 numbers the sandbox reads and writes: packet types, tokens, data type
// codes and DONE status bits.
#pragma once

#include <cstdint>

namespace sandbox::tds {

// Packet types.
constexpr uint8_t kPacketLogin = 0x02;
constexpr uint8_t kPacketResponse = 0x04;
constexpr uint8_t kPacketAttention = 0x06;
constexpr uint8_t kPacketNormal = 0x0F;

constexpr uint8_t kStatusEom = 0x01;
constexpr size_t kHeaderSize = 8;

// Tokens.
constexpr uint8_t kTokLanguage = 0x21;
constexpr uint8_t kTokParamFmt2 = 0x20;
constexpr uint8_t kTokLogout = 0x71;
constexpr uint8_t kTokReturnStatus = 0x79;
constexpr uint8_t kTokOptionCmd = 0xA6;
constexpr uint8_t kTokLoginAck = 0xAD;
constexpr uint8_t kTokRow = 0xD1;
constexpr uint8_t kTokParams = 0xD7;
constexpr uint8_t kTokCapability = 0xE2;
constexpr uint8_t kTokEnvChange = 0xE3;
constexpr uint8_t kTokEed = 0xE5;
constexpr uint8_t kTokDbRpc = 0xE6;
constexpr uint8_t kTokParamFmt = 0xEC;
constexpr uint8_t kTokRowFmt = 0xEE;
constexpr uint8_t kTokDone = 0xFD;
constexpr uint8_t kTokDoneProc = 0xFE;
constexpr uint8_t kTokDoneInProc = 0xFF;

// DONE status bits.
constexpr uint16_t kDoneMore = 0x0001;
constexpr uint16_t kDoneError = 0x0002;
constexpr uint16_t kDoneInXact = 0x0004;
constexpr uint16_t kDoneProc = 0x0008;
constexpr uint16_t kDoneCount = 0x0010;
constexpr uint16_t kDoneAttn = 0x0020;

// Data types.
constexpr uint8_t kImage = 0x22;
constexpr uint8_t kText = 0x23;
constexpr uint8_t kVarBinary = 0x25;
constexpr uint8_t kIntN = 0x26;
constexpr uint8_t kVarChar = 0x27;
constexpr uint8_t kBinary = 0x2D;
constexpr uint8_t kChar = 0x2F;
constexpr uint8_t kInt1 = 0x30;
constexpr uint8_t kBit = 0x32;
constexpr uint8_t kInt2 = 0x34;
constexpr uint8_t kInt4 = 0x38;
constexpr uint8_t kDateTime4 = 0x3A;
constexpr uint8_t kReal = 0x3B;
constexpr uint8_t kMoney = 0x3C;
constexpr uint8_t kDateTime = 0x3D;
constexpr uint8_t kFlt8 = 0x3E;
constexpr uint8_t kBitN = 0x68;  // accepted by FreeTDS as a nullable bit
constexpr uint8_t kDecimal = 0x6A;
constexpr uint8_t kNumeric = 0x6C;
constexpr uint8_t kFltN = 0x6D;
constexpr uint8_t kMoneyN = 0x6E;
constexpr uint8_t kDateTimeN = 0x6F;
constexpr uint8_t kMoney4 = 0x7A;
constexpr uint8_t kLongChar = 0xAF;
constexpr uint8_t kInt8 = 0xBF;
constexpr uint8_t kLongBinary = 0xE1;

// Column / parameter status bits.
constexpr uint8_t kColNullable = 0x20;
constexpr uint8_t kParamReturn = 0x01;

// OPTIONCMD commands and options.
constexpr uint8_t kOptSet = 1;
constexpr uint8_t kOptDefault = 2;
constexpr uint8_t kOptList = 3;
constexpr uint8_t kOptInfo = 4;
constexpr uint8_t kOptDateFirst = 1;
constexpr uint8_t kOptTextSize = 2;
constexpr uint8_t kOptDateFormat = 7;
constexpr uint8_t kOptIsolation = 8;

}  // namespace sandbox::tds
