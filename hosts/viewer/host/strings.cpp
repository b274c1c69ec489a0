// strings.cpp - the stand-in viewer's string utilities (hstr_): heap copies,
// the name part of a path, and the string lists UI script calls return.
// Every string and list lives on the host heap.
#include <charconv>
#include <cstring>

#include "error_report.h"

namespace {

// Longest text std::to_chars gives for a double in its shortest form.
constexpr std::size_t kDoubleTextSize = 32;

bool isContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

char *hstr_Duplicate(const char *text) {
  if (text == nullptr) return nullptr;
  std::size_t length = std::strlen(text);
  if (length >= UINT32_MAX) return nullptr;
  auto *copy = static_cast<char *>(hmsc_HeapMalloc(static_cast<uint32_t>(length + 1)));
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, text, length + 1);
  return copy;
}

void hstr_GetNamePart(const char *path, char *buffer, int32_t size) {
  if (buffer == nullptr || size <= 0) return;
  buffer[0] = '\0';
  if (path == nullptr) return;

  const char *name = std::strrchr(path, '/');
  name = name == nullptr ? path : name + 1;
  std::size_t length = std::strlen(name);
  // The extension starts at the last dot; a leading dot names a hidden file
  // and is kept.
  const char *dot = std::strrchr(name, '.');
  if (dot != nullptr && dot != name) length = static_cast<std::size_t>(dot - name);

  std::size_t room = static_cast<std::size_t>(size) - 1;
  if (length > room) {
    length = room;
    // Never leave half a UTF-8 character at the end: the label is drawn.
    while (length > 0 && isContinuationByte(name[length])) --length;
  }
  std::memcpy(buffer, name, length);
  buffer[length] = '\0';
}

HstrStringList *hstr_StringListCreate(int32_t count, ErrorReport *error) {
  if (count < 0) {
    viewerhost::setError(error, "hstr_StringListCreate: negative count");
    return nullptr;
  }
  auto *list = static_cast<HstrStringList *>(hmsc_HeapMalloc(sizeof(HstrStringList)));
  if (list == nullptr) {
    viewerhost::setError(error, "hstr_StringListCreate: out of memory");
    return nullptr;
  }
  list->count = count;
  list->strings = nullptr;
  if (count > 0) {
    std::size_t bytes = sizeof(char *) * static_cast<std::size_t>(count);
    list->strings = bytes < UINT32_MAX
                        ? static_cast<char **>(hmsc_HeapMalloc(static_cast<uint32_t>(bytes)))
                        : nullptr;
    if (list->strings == nullptr) {
      hmsc_HeapFree(list);
      viewerhost::setError(error, "hstr_StringListCreate: out of memory");
      return nullptr;
    }
    for (int32_t i = 0; i < count; ++i) list->strings[i] = nullptr;
  }
  return list;
}

HstrStringList *hstr_DoubleToStringList(int32_t count, const double *values, ErrorReport *error) {
  if (count > 0 && values == nullptr) {
    viewerhost::setError(error, "hstr_DoubleToStringList: no values");
    return nullptr;
  }
  HstrStringList *list = hstr_StringListCreate(count, error);
  if (list == nullptr) return nullptr;
  for (int32_t i = 0; i < count; ++i) {
    // The shortest text that reads back to the same double: a value shown
    // in a field and applied unchanged compares equal to the stored one.
    char text[kDoubleTextSize];
    auto result = std::to_chars(text, text + sizeof text - 1, values[i]);
    *result.ptr = '\0';
    list->strings[i] = hstr_Duplicate(text);
    if (list->strings[i] == nullptr) {
      hstr_StringListFree(list);
      viewerhost::setError(error, "hstr_DoubleToStringList: out of memory");
      return nullptr;
    }
  }
  return list;
}

void hstr_StringListFree(HstrStringList *list) {
  if (list == nullptr) return;
  if (list->strings != nullptr) {
    for (int32_t i = 0; i < list->count; ++i) hmsc_HeapFree(list->strings[i]);
    hmsc_HeapFree(list->strings);
  }
  hmsc_HeapFree(list);
}
