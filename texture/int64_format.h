// int64_format.h - the text forms of the 64-bit parameter types.
//
// The parameter text writes 64-bit integers in plain decimal, as the host's
// "%I64d" and "%I64u" do; here they are the platform's own 64-bit
// conversions, which give the same text.
#ifndef FOG_TEXTURE_INT64_FORMAT_H
#define FOG_TEXTURE_INT64_FORMAT_H

#include <cinttypes>

#define FOG_FORMAT_INT64 "%" PRId64
#define FOG_FORMAT_UINT64 "%" PRIu64

#endif
