#pragma once
// The node program shared by the regular-expression compiler and matcher.
// A node is an opcode byte and a 4-byte signed offset to the next node of its
// sequence (0 = none), followed by its operands.
#include <cstdint>
#include <cstring>
#include <vector>

namespace ludra::regexpr {

enum TOpcode : uint8_t {
  opEnd = 0,
  opInputStart = 1,
  opInputEnd = 2,
  opAny = 3,
  opBranch = 6,
  opBack = 7,
  opLiteral = 8,  // length byte, then the characters
  opNothing = 9,
  opStar = 10,
  opPlus = 11,
  opDigit = 12,
  opNonDigit = 13,
  opRepeat = 18,  // min, max (4 bytes each), then the operand node
  opComment = 19,
  opLiteralNoCase = 20,
  opLoopEntry = 23,
  opLoop = 24,  // min, max, offset back to the body
  opSmallSet = 25,
  opSmallSetNot = 26,
  opFullSet = 27,
  opBackref = 28,
  opBackrefNoCase = 29,
  opStarLazy = 30,
  opPlusLazy = 31,
  opRepeatLazy = 32,
  opLoopLazy = 33,
  opLineStart = 34,
  opLineEnd = 35,
  opAnyButLineBreak = 36,
  opWordBoundary = 37,
  opNotWordBoundary = 38,
  opOpen = 39,   // + group number 1..14
  opClose = 54,  // + group number 1..14
};

constexpr uint8_t kMagic = 216;
constexpr int kNodeSize = 5;
constexpr int kOpenFirst = opOpen + 1, kOpenLast = opOpen + 14;
constexpr int kCloseFirst = opClose + 1, kCloseLast = opClose + 14;
constexpr int kInfinite = 2147483646;
constexpr int kMaxLiteral = 255;

inline int32_t Read32(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void Write32(uint8_t* p, int32_t v) { std::memcpy(p, &v, 4); }

inline int Operand(int node) { return node + kNodeSize; }
// The next node, or -1.
inline int NextNode(const uint8_t* prog, int node) {
  int32_t off = Read32(prog + node + 1);
  return off == 0 ? -1 : node + off;
}
inline bool IsRepeat(uint8_t op) {
  return op == opStar || op == opPlus || op == opRepeat || op == opStarLazy || op == opPlusLazy ||
         op == opRepeatLazy;
}
// The simple operand of a repeat node.
inline int RepeatOperand(const uint8_t* prog, int node) {
  return (prog[node] == opRepeat || prog[node] == opRepeatLazy) ? node + kNodeSize + 8
                                                                : node + kNodeSize;
}

// The size of a node with its operands.
inline int NodeSize(const uint8_t* prog, int node) {
  switch (prog[node]) {
    case opLiteral:
    case opLiteralNoCase:
      return kNodeSize + 1 + prog[node + kNodeSize];
    case opRepeat:
    case opRepeatLazy:
      return kNodeSize + 8;
    case opLoop:
    case opLoopLazy:
      return kNodeSize + 12;
    case opSmallSet:
    case opSmallSetNot:
      return kNodeSize + 3;
    case opFullSet:
      return kNodeSize + 32;
    case opBackref:
    case opBackrefNoCase:
      return kNodeSize + 1;
    default:
      return kNodeSize;
  }
}

}  // namespace ludra::regexpr
