#pragma once

#include <cstddef>
#include <cstdint>

// One entry function per file format the program reads from disk. Each takes the bytes of a
// file as a reader would find them, runs them through the reader the program uses, writes
// the result back through the program's writer, and checks what must hold for any input:
// - the reader neither crashes nor raises anything but the format's own rejection;
// - every value the path rules reach reads back as the text of its element;
// - what the program writes reads back without error to the same values, and writing that
//   again gives the same bytes (a layout never drifts from one save to the next).
// A violated check prints what failed to stderr and aborts, which a fuzzing engine records as
// a finding. The functions always return 0.
//
// The fuzzing programs call them for generated inputs; the test run replays the committed
// corpus through them.
int FuzzDesktopLayout(const std::uint8_t* data, std::size_t size);
int FuzzCodeButtonLayout(const std::uint8_t* data, std::size_t size);
int FuzzLedLayout(const std::uint8_t* data, std::size_t size);
