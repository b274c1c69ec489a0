// parameter_values.h - the text form of one parameter value, by type code:
// writing a row's field as a parameter line, and reading a value text into
// a row's field.
//
// Numbers are read and written in the "C" locale whatever locale the host
// process has chosen, so the text is the same on every host. Reads never
// write outside a row's field: text is cut to the field, and arrays are
// bounded by the field's size in bytes (the row's `size`; an array row
// without one stores no element).
#ifndef FOG_TEXTURE_PARAMETER_VALUES_H
#define FOG_TEXTURE_PARAMETER_VALUES_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "fog_params.h"

// Bytes of one array element of `baseType`: 4 for PARAM_INT32, PARAM_UINT32
// and PARAM_FLOAT, 8 for PARAM_DOUBLE, PARAM_INT64 and PARAM_UINT64, 24 for
// PARAM_DOUBLE3; 0 for the text types and unknown codes, which have no
// array form.
size_t parameterElementSize(int32_t baseType);

// How many elements an array row's field holds: its `size` in bytes over
// the element size; 0 when either is unknown.
int32_t parameterArrayCapacity(const ParameterDescriptor &row);

// Appends the row's line: its name, one space and the value in the type's
// written form ("%s %d", "%s %f", ...); for an array, each element in its
// array form followed by a space. Lines are as long as their text needs.
// Throws std::bad_alloc when the line cannot grow.
void appendParameterLine(std::string &line, const ParameterDescriptor &row);

// Converts `valueText` (the text after the name and its one separator) as
// the row's type prescribes and stores it in the row's field. Scalars:
// integer and real forms give 0 when the text does not convert; scanned forms
// (PARAM_DOUBLE3, PARAM_INT64, PARAM_UINT64) keep the components that the
// text does not supply. Arrays: the count is reset to 0 and elements are read
// one after another, each followed by one separator character, until the
// text ends, an element does not convert, or the field is full.
void readParameterValue(const ParameterDescriptor &row, const char *valueText) noexcept;

// The scalar conversions, exposed for their own tests. Each skips leading
// white space and takes an optional sign.
//
// Decimal integer as the platform's 64-bit conversion reads it, kept to its
// low 32 bits; no digits give 0.
int32_t parameterTextToInt32(const char *text) noexcept;
// Unsigned decimal in 32 bits: a minus sign negates modulo 2^32, a value
// beyond the range gives 4294967295, no digits give 0.
uint32_t parameterTextToUInt32(const char *text) noexcept;
// The longest prefix that is a real number; none gives 0.0.
double parameterTextToDouble(const char *text) noexcept;

#endif
