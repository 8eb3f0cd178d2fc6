#include "tools/dict_builder.h"

#include <errno.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#endif

#include <cstdio>
#include <cstring>

namespace hzb {

namespace {

void PutU32(std::string* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>(v >> (8 * i)));
}

void PutName(std::string* out, const std::string& name, size_t width) {
  std::string field = name.substr(0, width);
  field.resize(width, '\0');
  *out += field;
}

#ifdef _WIN32
// Names are Shift-JIS on Windows, as the converter takes them.
std::wstring Wide(const std::string& name) {
  const int n = MultiByteToWideChar(932, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, name.data(), static_cast<int>(name.size()), &wide[0], n);
  return wide;
}
#endif

// Creates every directory on the way to path, which names them with '/'.
bool MakeParents(const std::string& path) {
  for (size_t i = 1; i < path.size(); ++i) {
    if (path[i] != '/') continue;
    std::string dir = path.substr(0, i);
#ifdef _WIN32
    if (_wmkdir(Wide(dir).c_str()) != 0 && errno != EEXIST && errno != EACCES) return false;
#else
    if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) return false;
#endif
  }
  return true;
}

}  // namespace

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  if (!MakeParents(path)) return false;
#ifdef _WIN32
  FILE* f = _wfopen(Wide(path).c_str(), L"wb");
#else
  FILE* f = std::fopen(path.c_str(), "wb");
#endif
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::string DictBuilder::DatBytes(const std::vector<Record>& records) {
  std::string out;
  PutU32(&out, static_cast<uint32_t>(records.size()));
  uint32_t at = static_cast<uint32_t>(4 + 8 * records.size());
  for (const Record& r : records) {
    PutU32(&out, at);
    PutU32(&out, static_cast<uint32_t>(r.text.size()));
    at += static_cast<uint32_t>(r.text.size());
  }
  for (const Record& r : records) out += r.text;
  return out;
}

std::string DictBuilder::InfBytes(const std::vector<Record>& records) {
  std::vector<std::string> bodies;
  uint32_t at = static_cast<uint32_t>(8 + 8 * records.size());
  std::string index;
  for (const Record& r : records) {
    // Header (48 bytes), then the style, link and anchor tables.
    uint32_t style_at = at + 48;
    uint32_t style_size = static_cast<uint32_t>(12 * r.styles.size());
    uint32_t link_at = style_at + style_size;
    uint32_t link_size = static_cast<uint32_t>(20 * r.links.size());
    uint32_t anchor_at = link_at + link_size;
    uint32_t anchor_size = static_cast<uint32_t>(12 * r.anchors.size());
    std::string body(8, '\0');
    PutU32(&body, style_at);
    PutU32(&body, style_size);
    PutU32(&body, link_at);
    PutU32(&body, link_size);
    PutU32(&body, anchor_at);
    PutU32(&body, anchor_size);
    body.append(16, '\0');
    for (const Style& s : r.styles) {
      PutU32(&body, s.offset);
      PutU32(&body, s.length);
      PutU32(&body, static_cast<uint32_t>(s.code));
    }
    for (const Link& l : r.links) {
      PutU32(&body, l.offset);
      PutU32(&body, l.length);
      PutU32(&body, static_cast<uint32_t>(l.kind));
      PutU32(&body, static_cast<uint32_t>(l.target));
      PutName(&body, l.label, 4);
    }
    for (const Anchor& a : r.anchors) {
      PutName(&body, a.name, 4);
      PutU32(&body, a.offset);
      PutU32(&body, static_cast<uint32_t>(a.unused));
    }
    PutU32(&index, at);
    PutU32(&index, static_cast<uint32_t>(body.size()));
    at += static_cast<uint32_t>(body.size());
    bodies.push_back(std::move(body));
  }
  std::string out;
  PutU32(&out, static_cast<uint32_t>(records.size()));
  PutU32(&out, 0);
  out += index;
  for (const std::string& b : bodies) out += b;
  return out;
}

std::string DictBuilder::TableBytes(const std::vector<std::string>& stems) {
  std::string out;
  for (const std::string& s : stems) {
    PutName(&out, s, 8);
    out.append(8, '\0');
  }
  return out;
}

std::string DictBuilder::ListBytes(const std::vector<ListRow>& rows) {
  std::string out(42, '\0');
  PutU32(&out, static_cast<uint32_t>(rows.size()));
  out.append(8, '\0');
  for (const ListRow& r : rows) {
    PutName(&out, r.key, 42);
    PutU32(&out, r.record);
    PutU32(&out, r.alt_record);
    PutU32(&out, r.offset);
  }
  return out;
}

bool DictBuilder::Write(const std::string& dir, std::string* error) const {
  auto write = [&](const std::string& rel, const std::string& bytes) {
    std::string path = dir + "/" + rel;
    if (WriteFileBytes(path, bytes)) return true;
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  };
  for (const std::string& d : directories) {
    if (!MakeParents(dir + "/" + d + "/")) {
      *error = "cannot create " + dir + "/" + d + ": " + std::strerror(errno);
      return false;
    }
  }
  for (const auto& f : record_files) {
    if (!write(f.first + ".DAT", DatBytes(f.second)) || !write(f.first + ".INF", InfBytes(f.second))) {
      return false;
    }
  }
  for (const auto& t : link_tables) {
    if (!write(t.first, TableBytes(t.second))) return false;
  }
  for (const auto& l : lists) {
    if (!write(l.first, ListBytes(l.second))) return false;
  }
  return true;
}

}  // namespace hzb
