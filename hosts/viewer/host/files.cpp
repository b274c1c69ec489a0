// files.cpp - the stand-in viewer's text files (hfio_): buffered stdio
// streams behind an opaque handle. A null handle is refused with a failure
// result, never dereferenced. The close fails, and says which file and why,
// when any read or write on the stream failed.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "error_report.h"

struct HfioFile {
  std::FILE *stream;
  std::string path;
  // The first read or write that failed, for the report of the close.
  const char *failedAction = nullptr;
  int failedErrno = 0;
};

namespace {

// `reason` is the errno of the failure; 0 when it is not known.
void noteFailure(HfioFile *file, const char *action, int reason) {
  if (file->failedAction != nullptr) return;
  file->failedAction = action;
  file->failedErrno = reason;
}

} // namespace

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
  HfioFile *file = nullptr;
  try {
    file = new HfioFile{stream, path};
  } catch (...) {
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
  // A failed read or write may only show as the stream's error flag, and a
  // failed write also when the buffer is flushed by the close: either makes
  // the close fail.
  if (std::ferror(file->stream) != 0) noteFailure(file, "read or write", 0);
  if (std::fclose(file->stream) != 0) noteFailure(file, "write", errno);
  const bool failed = file->failedAction != nullptr;
  if (failed) {
    std::string message = std::string("cannot ") + file->failedAction + " " + file->path;
    if (file->failedErrno != 0) message += std::string(": ") + std::strerror(file->failedErrno);
    viewerhost::setError(error, message);
  }
  delete file;
  return failed ? EOF : 0;
}

int32_t hfio_Fprintf(HfioFile *file, const char *format, ...) {
  if (file == nullptr || format == nullptr) return -1;
  va_list arguments;
  va_start(arguments, format);
  int written = std::vfprintf(file->stream, format, arguments);
  va_end(arguments);
  if (written < 0) noteFailure(file, "write", errno);
  return written;
}

int32_t hfio_Fscanf(HfioFile *file, const char *format, ...) {
  if (file == nullptr || format == nullptr) return EOF;
  va_list arguments;
  va_start(arguments, format);
  int assigned = std::vfscanf(file->stream, format, arguments);
  va_end(arguments);
  if (assigned == EOF && std::ferror(file->stream) != 0) noteFailure(file, "read", errno);
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
