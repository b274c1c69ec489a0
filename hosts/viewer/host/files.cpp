// files.cpp - the stand-in viewer's text files (hfio_): buffered stdio
// streams behind an opaque handle. A null handle is refused with a failure
// result, never dereferenced.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

#include "error_report.h"

struct HfioFile {
  std::FILE *stream;
};

HfioFile *hfio_Open(const char *path, const char *mode, ErrorReport *error) {
  if (path == nullptr || mode == nullptr) {
    viewerhost::setError(error, "hfio_Open: no file name or mode");
    return nullptr;
  }
  std::FILE *stream = std::fopen(path, mode);
  if (stream == nullptr) {
    viewerhost::setError(error, std::string("cannot open ") + path + ": " + std::strerror(errno));
    return nullptr;
  }
  auto *file = new (std::nothrow) HfioFile{stream};
  if (file == nullptr) {
    std::fclose(stream);
    viewerhost::setError(error, std::string("cannot open ") + path + ": out of memory");
  }
  return file;
}

int32_t hfio_Close(HfioFile *file, ErrorReport *error) {
  if (file == nullptr) {
    viewerhost::setError(error, "hfio_Close: no file");
    return EOF;
  }
  // A failed write may only show as the stream's error flag, or when the
  // buffer is flushed by the close: either makes the close fail.
  bool failed = std::ferror(file->stream) != 0;
  failed = std::fclose(file->stream) != 0 || failed;
  delete file;
  if (failed) {
    viewerhost::setError(error, "hfio_Close: the file was not written completely");
    return EOF;
  }
  return 0;
}

int32_t hfio_Fprintf(HfioFile *file, const char *format, ...) {
  if (file == nullptr || format == nullptr) return -1;
  va_list arguments;
  va_start(arguments, format);
  int written = std::vfprintf(file->stream, format, arguments);
  va_end(arguments);
  return written;
}

int32_t hfio_Fscanf(HfioFile *file, const char *format, ...) {
  if (file == nullptr || format == nullptr) return EOF;
  va_list arguments;
  va_start(arguments, format);
  int assigned = std::vfscanf(file->stream, format, arguments);
  va_end(arguments);
  return assigned;
}

int32_t hfio_Sprintf(char *buffer, const char *format, ...) {
  if (buffer == nullptr || format == nullptr) return -1;
  va_list arguments;
  va_start(arguments, format);
  // The interface carries no buffer size: the caller bounds what it
  // formats, as with sprintf.
  int written = std::vsprintf(buffer, format, arguments);
  va_end(arguments);
  return written;
}
