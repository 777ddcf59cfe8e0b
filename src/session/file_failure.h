// What a message about a file that could not be read or written says of the
// cause: the file's name and the system's reason, never a guess such as a
// full disk when a folder stands in the way.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/resource_strings.h"
#include "platform/ui.h"

namespace trendolin {

// "PATH: reason" for a data file the reader refused. The reader opens only
// regular files, and without waiting for a writer to a named pipe; it does
// not keep the reason, so it is found again here.
inline std::string OpenFailureReason(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return path + ": " + std::strerror(errno);
  if (S_ISDIR(st.st_mode)) return path + ": " + std::strerror(EISDIR);
  if (S_ISFIFO(st.st_mode)) return path + ": a named pipe (FIFO), not a regular file";
  if (!S_ISREG(st.st_mode)) return path + ": a device or socket, not a regular file";
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return path + ": " + std::strerror(errno);
  ::close(fd);
  return path + ": the file could not be read to its end";
}

// The reason an atomic write failed: the writer's own text, which names the
// file and the system's reason, except for a folder in the way, which is
// told in the system's words like every other reason.
inline std::string WriteFailureReason(const std::string& path, const std::string& writerError) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return path + ": " + std::strerror(EISDIR);
  return writerError.empty() ? path : writerError;
}

// The box every writer shows when its file could not be written: the
// caption and text of the resource pair, the text holding the file and the
// system's reason.
inline void ReportWriteFailure(int captionId, int textId, const std::string& path, const std::string& writerError) {
  const std::string reason = WriteFailureReason(path, writerError);
  platform::TellUser(std::string(platform::ResourceString(captionId)),
                     platform::FormatResource(platform::ResourceString(textId), {reason}));
}

}  // namespace trendolin
