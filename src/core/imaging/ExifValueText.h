#pragma once
// Turning EXIF values into display texts: numbers in either byte order, decode lists, display
// formats, fractions read back from texts. Every function works on bytes already cut to the
// segment; none reads past what it is given, and none throws for malformed input.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// The `size` bytes at `p` as one unsigned number, big-endian when `motorola`, else little-endian.
// Only the low 32 bits are kept.
std::uint32_t ExifReadUnsigned(const unsigned char* p, std::size_t size, bool motorola);

// The display text of a non-text value of `format` (the number formatting): at most the first
// eight components that lie wholly inside `raw`, joined by ", "; rationals as "n/d", floats as
// "-9999.99", integers decoded through `decodeList` when it is given, else in decimal. A
// non-empty `displayFormat` then reshapes the text ("%s" patterns) or the value's number.
// A format with no component size gives "0".
std::string ExifFormatNumbers(std::string_view raw, std::uint16_t format, bool motorola,
                              std::string_view decodeList, std::string_view displayFormat);

// The display text of an entry whose row (decode list, display format, decoder) and format are
// set, from its value bytes: ASCII values without their last byte (between double quotes when
// `quoteAscii`), UNDEFINED values between double quotes, other formats through
// ExifFormatNumbers; then the row's decoder, or else the cut to 50 printable characters.
struct TagEntry;
std::string ExifDisplayText(const TagEntry& entry, std::string_view raw, bool motorola, bool quoteAscii);

// The number a value stands for: integer formats read all raw bytes as one number (taken as a
// signed 32-bit value); rationals give the first numerator over the first denominator (0 when
// the denominator is 0 or the bytes are missing); every other format gives 0.
double ExifValueNumber(std::string_view raw, std::uint16_t format, bool motorola);

// The text that `decodeList` pairs with `number`, or the empty text when it is not listed.
std::string ExifDecodeListText(std::string_view decodeList, std::int64_t number);

// Applies a one-placeholder printf-style pattern ("%5.2f mm", "%s sec", "f %0.1f"): %s takes
// `text`, %f and %d take `number`. Independent of the process locale (always a full stop).
std::string ExifApplyFormat(std::string_view pattern, std::string_view text, double number);

// "%W.Pf" of `value`: fixed notation with `precision` decimals, padded on the left to `width`.
std::string ExifFormatFixed(double value, int precision, int width = 0);

// A display text cut to its first 50 characters with every character below 32 shown as ".".
std::string ExifPrintableCut(std::string_view text);

// The value of a fraction written as "a/b" or "w a/b": (w*b + a) / b; 0 when the text does not
// read that way or b is 0.
double ExifFractionValue(std::string_view text);

// The components of a display text, split at ", ".
std::vector<std::string> ExifSplitComponents(std::string_view text);

// The text as a signed decimal integer (surrounding blanks allowed), or `fallback`.
std::int64_t ExifParseInt(std::string_view text, std::int64_t fallback = 0);

// The text with every character up to and including the blank removed from both ends.
std::string ExifTrim(std::string_view text);

}  // namespace vantrel
