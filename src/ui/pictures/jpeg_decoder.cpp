// JPEG through libjpeg's standard decompression interface. libjpeg reports a
// fatal error by calling error_exit, which must not return: ours jumps back
// with longjmp into decompress(), a plain C-style function that has no C++
// object with a destructor alive between its setjmp and any longjmp, so
// nothing is skipped. Messages are never printed.
//
// A file that ends early counts as broken (libjpeg would fill the rest with
// grey and carry on): the picture stays empty. Other warnings about the data
// (stray bytes between markers, common in camera files) are let pass.
#include <csetjmp>
#include <cstdio>  // jpeglib.h wants FILE and size_t first
#include <limits>
#include <new>

#include <jerror.h>
#include <jpeglib.h>

#include "ui/pictures/picture.h"

namespace pictures {

namespace {

// A progressive file can hold any number of scans, each one a pass over the
// whole picture; real ones have about ten.
constexpr int kMaxScans = 500;
// libjpeg's own working memory (coefficient buffers of a progressive file).
constexpr long kMaxLibraryMemory = 256L * 1024 * 1024;

struct ErrorManager {
  jpeg_error_mgr pub;  // first, so that a j_common_ptr's err is this
  std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void onMessage(j_common_ptr) {}

void onEmit(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace messages
  const int code = cinfo->err->msg_code;
  if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) onError(cinfo);
  ++cinfo->err->num_warnings;
}

void onProgress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    onError(cinfo);
  }
}

// Where decompress() puts the picture: plain data and a function that sizes
// the caller's pixel buffer (and returns null if it cannot).
struct Job {
  const std::uint8_t* data;
  unsigned long size;
  void* owner;
  std::uint32_t* (*allocate)(void* owner, int width, int height);
};

std::uint32_t argb(unsigned r, unsigned g, unsigned b) { return 0xFF000000u | (r << 16) | (g << 8) | b; }

// Copies one decoded row; CMYK is converted here, as libjpeg gives it as is.
// Adobe's files store the inks inverted (0 = full ink), the others not.
void convertRow(const JSAMPLE* src, std::uint32_t* dst, JDIMENSION width, J_COLOR_SPACE space, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x) {
    if (space == JCS_CMYK) {
      unsigned c = src[4 * x], m = src[4 * x + 1], y = src[4 * x + 2], k = src[4 * x + 3];
      if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
      dst[x] = argb((c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
    } else {
      dst[x] = argb(src[3 * x], src[3 * x + 1], src[3 * x + 2]);
    }
  }
}

bool decompress(const Job* job) {
  jpeg_decompress_struct cinfo;
  ErrorManager errors;
  jpeg_progress_mgr progress;
  cinfo.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = onError;
  errors.pub.output_message = onMessage;
  errors.pub.emit_message = onEmit;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.mem->max_memory_to_use = kMaxLibraryMemory;
  progress.progress_monitor = onProgress;
  cinfo.progress = &progress;
  jpeg_mem_src(&cinfo, job->data, job->size);
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxDimension ||
      cinfo.image_height > kMaxDimension) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&cinfo);
  const int components = cmyk ? 4 : 3;
  if (cinfo.output_components != components) onError(reinterpret_cast<j_common_ptr>(&cinfo));

  const JDIMENSION width = cinfo.output_width;
  std::uint32_t* pixels = job->allocate(job->owner, static_cast<int>(width), static_cast<int>(cinfo.output_height));
  if (!pixels) onError(reinterpret_cast<j_common_ptr>(&cinfo));
  // The row buffer belongs to libjpeg's memory pool and goes with it.
  JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                              width * static_cast<JDIMENSION>(components), 1);
  while (cinfo.output_scanline < cinfo.output_height) {
    const JDIMENSION y = cinfo.output_scanline;
    if (jpeg_read_scanlines(&cinfo, row, 1) != 1) onError(reinterpret_cast<j_common_ptr>(&cinfo));
    convertRow(row[0], pixels + static_cast<std::size_t>(y) * width, width, cinfo.out_color_space,
               cinfo.saw_Adobe_marker != 0);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

struct Output {
  Picture picture;
};

std::uint32_t* allocateFrame(void* owner, int width, int height) {
  Picture& picture = static_cast<Output*>(owner)->picture;
  picture.width = width;
  picture.height = height;
  picture.frames.resize(1);
  Frame& frame = picture.frames[0];
  frame.width = width;
  frame.height = height;
  // Within the size limit, so at most 64 MB; should even that fail, the
  // exception must not cross libjpeg's C frames: the picture stays empty.
  try {
    frame.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFF000000u);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return frame.pixels.data();
}

}  // namespace

Picture decodeJpeg(const std::uint8_t* data, std::size_t size) {
  if (!data || size < 3 || size > std::numeric_limits<unsigned long>::max()) return {};
  if (data[0] != 0xFF || data[1] != 0xD8 || data[2] != 0xFF) return {};
  Output output;
  const Job job{data, static_cast<unsigned long>(size), &output, allocateFrame};
  if (!decompress(&job)) return {};
  return std::move(output.picture);
}

}  // namespace pictures
