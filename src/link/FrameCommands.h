#pragma once

#include <cstdint>

// The commands of the frames the program and the unit exchange. The transfer engine and the search
// build requests from them and check answers against them; the simulated unit answers them.

// Command words of the WCOM family (offset 8 of a frame); an answer repeats its request's word.
enum WcomCommand : uint16_t {
    WCOM_READ_MEMORY = 0x7010, // data: the byte count as a word; answer: that many bytes
    WCOM_READ_REFERENCE = 0x701F, // the same over the reference block
    WCOM_WRITE_MEMORY = 0x7020,
    WCOM_MONITOR = 0x7050, // data: the monitor request; answer: the monitor data
    WCOM_IDENTIFY = 0xFEEE, // answer: the unit's identity
    WCOM_RESET = 0xF000, // sent as a raw command with no data
    // Short answers carry the answered command in the address field and a small value as data;
    // the parser rewrites them into plain answers (the second form into an answer of the second kind).
    WCOM_SHORT_ANSWER = 0xFFFF,
    WCOM_SHORT_ANSWER_SECOND = 0xFFFE,
};

// The kind byte of a WCOM frame (offset 7): the check in its high nibble, the direction in its low.
enum WcomKind : uint8_t {
    WCOM_KIND_CRC = 0xB0,
    WCOM_KIND_SUM = 0xF0,
    WCOM_KIND_CHECK_MASK = 0xF0,
    WCOM_KIND_REQUEST = 0x0B,
    WCOM_KIND_ANSWER = 0x0C,
    WCOM_KIND_ANSWER_SECOND = 0x0D,
    WCOM_KIND_DIRECTION_MASK = 0x0F,
};

// The command byte of a fixed-block frame is a kind plus an index: the block for the monitor
// exchange, block + 1 for memory reads and writes, 0 for the reference block and raw commands.
enum IgnKind : uint8_t {
    IGN_WRITE_MEMORY = 0x00,
    IGN_COMMAND = 0x00,
    IGN_MONITOR = 0x30, // block 0 with zero data is the identify request
    IGN_READ = 0x40, // index 0: the reference block
    IGN_ANSWER = 0x80, // set in every answer, clear in every request
};
constexpr uint8_t IGN_IDENTIFY_ANSWER = IGN_MONITOR | IGN_ANSWER;

// The reset is a fixed-block raw command whose data carries this mark; the WCOM family sends
// WCOM_RESET instead.
constexpr int IGN_RESET_MARK_OFFSET = 12;
constexpr uint8_t IGN_RESET_MARK[2] = { 0xA5, 0x10 };
