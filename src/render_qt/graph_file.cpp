// Graph pictures written into their file as they are drawn.
#include "render_qt/graph_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/pending_files.h"
#include "render_qt/qt_font.h"
#include "render_qt/qt_surface.h"
#include "render_qt/svg_stream.h"

namespace trendolin {
namespace {

// Larger pictures are refused rather than risking an allocation that fails
// half-way: 20000 x 20000 pixels is 1.6 GB as an image.
constexpr int kMaxPictureSide = 20000;

std::string LowerExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

// The file a picture is written into as it is drawn: a temporary beside the
// target, renamed over it once complete, removed if the picture fails. A
// target reached through a symbolic link is replaced at the link's end; one
// that exists and is no regular file (a device, a named pipe) is written in
// place, as renaming over it would destroy it.
class ReplacingFile {
 public:
  explicit ReplacingFile(const std::string& path) : path_(Resolved(path)) {}
  ~ReplacingFile() {
    file_.close();
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
  }
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool Open(std::string* error) {
    struct stat st {};
    exists_ = ::stat(path_.c_str(), &st) == 0;
    mode_ = exists_ ? st.st_mode & 07777 : 0;
    int fd = -1;
    if (exists_ && S_ISDIR(st.st_mode)) return Fail(error, path_ + " is a folder, not a file");
    if (exists_ && !S_ISREG(st.st_mode)) {
      // A named pipe without a reader fails at once instead of waiting for one.
      fd = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
      if (fd < 0) return Fail(error, ErrnoText("cannot open " + path_));
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    } else {
      std::string tmpl = FolderOf(path_) + "/." + BaseNameOf(path_) + ".XXXXXX";
      pending_ = std::make_unique<platform::PendingFile>(tmpl);
      fd = pending_->Descriptor();
      if (fd < 0) return Fail(error, ErrnoText("cannot create a file in " + FolderOf(path_)));
      temporary_ = tmpl;
    }
    if (!file_.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
      ::close(fd);
      return Fail(error, "cannot write " + path_);
    }
    return true;
  }

  QIODevice& Device() { return file_; }

  // Puts the finished file in place of the target, with the target's
  // permissions (a new file gets the usual ones for the user's umask).
  bool Commit(std::string* error) {
    if (!file_.flush()) return Fail(error, "cannot write " + path_ + ": " + file_.errorString().toStdString());
    if (temporary_.empty()) {
      file_.close();
      return true;
    }
    const int fd = file_.handle();
    mode_t mode = mode_;
    if (!exists_) {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    }
    if (::fsync(fd) != 0) return Fail(error, ErrnoText("cannot write " + path_));
    if (::fchmod(fd, mode) != 0) return Fail(error, ErrnoText("cannot set the permissions of " + path_));
    file_.close();
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) return Fail(error, ErrnoText("cannot replace " + path_));
    temporary_.clear();
    return true;
  }

 private:
  static std::string Resolved(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
      if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string resolved(real);
        std::free(real);
        return resolved;
      }
    }
    return path;
  }
  static std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
  }
  static std::string BaseNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
  }
  static std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }
  static bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
  }

  std::string path_;
  std::string temporary_;  // empty when writing in place or once renamed
  std::unique_ptr<platform::PendingFile> pending_;  // registered until the file is renamed or removed
  QFile file_;
  bool exists_ = false;
  mode_t mode_ = 0;
};

// Paints `draw` on `painter` through a surface and ends the painting.
// Returns false when the device could not be painted on.
bool Paint(QPainter& painter, bool recorded, int width, int height, const DrawGraphFn& draw) {
  if (!painter.isActive()) return false;
  {
    QtSurface surface(painter, recorded);
    draw(surface, Rect{0, 0, width, height});
  }
  return painter.end();
}

// The image is drawn whole in memory, and encoded straight into the file.
bool RenderPng(int width, int height, const DrawGraphFn& draw, QIODevice& out) {
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return false;
  const int dotsPerMetre = static_cast<int>(kScreenDpi / 0.0254 + 0.5);
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  QPainter painter(&image);
  if (!Paint(painter, false, width, height, draw)) return false;
  return image.save(&out, "PNG");
}

bool RenderSvg(int width, int height, const DrawGraphFn& draw, QIODevice& out) {
  SvgStreamDevice device(out, QSize(width, height), kScreenDpi, QStringLiteral("Trendolin graph"));
  QPainter painter(&device);
  return Paint(painter, true, width, height, draw) && device.Written();
}

// The page's drawing is kept (compressed at the end) by the writer; the rest
// of the file goes out as it is made.
bool RenderPdf(int width, int height, const DrawGraphFn& draw, QIODevice& out) {
  QPdfWriter writer(&out);
  writer.setCreator(QStringLiteral("Trendolin"));
  writer.setTitle(QStringLiteral("Trendolin graph"));
  writer.setResolution(kScreenDpi);
  // One page the size of the picture at screen resolution, without margins.
  // Page sizes are whole points: round up, and stretch the picture by the
  // fraction of a point that adds so that it still fills the page.
  const QSize points(static_cast<int>(std::ceil(width * 72.0 / kScreenDpi)),
                     static_cast<int>(std::ceil(height * 72.0 / kScreenDpi)));
  const QPageSize page(points, QString(), QPageSize::ExactMatch);
  writer.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  QPainter painter(&writer);
  painter.scale(points.width() * kScreenDpi / (72.0 * width), points.height() * kScreenDpi / (72.0 * height));
  return Paint(painter, true, width, height, draw);
}

}  // namespace

std::optional<GraphFileFormat> GraphFileFormatOf(const std::string& path) {
  const std::string ext = LowerExtension(path);
  if (ext == "png") return GraphFileFormat::Png;
  if (ext == "svg") return GraphFileFormat::Svg;
  if (ext == "pdf") return GraphFileFormat::Pdf;
  return std::nullopt;
}

bool WriteGraphFile(const std::string& path, int width, int height, const DrawGraphFn& draw, std::string* error) {
  auto fail = [error](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  const std::optional<GraphFileFormat> format = GraphFileFormatOf(path);
  if (!format) return fail("cannot write " + path + ": the file name must end in .png, .svg or .pdf");
  if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) {
    return fail("cannot write " + path + ": a picture is 1 to " + std::to_string(kMaxPictureSide) +
                " pixels wide and high, not " + std::to_string(width) + "x" + std::to_string(height));
  }

  ReplacingFile file(path);
  if (!file.Open(error)) return false;
  bool rendered = false;
  switch (*format) {
    case GraphFileFormat::Png: rendered = RenderPng(width, height, draw, file.Device()); break;
    case GraphFileFormat::Svg: rendered = RenderSvg(width, height, draw, file.Device()); break;
    case GraphFileFormat::Pdf: rendered = RenderPdf(width, height, draw, file.Device()); break;
  }
  if (!rendered) return fail("cannot write " + path + ": the picture could not be drawn or written");
  return file.Commit(error);
}

}  // namespace trendolin
