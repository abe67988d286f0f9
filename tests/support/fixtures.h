// Small objects and hosts for tests.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "modeler/host.h"
#include "modeler/object.h"

// CP932 texts the command shows.
extern const std::string kNoWeightMapsText;

// A one-layer object with points at the given x (y and z 0).
Object lineObject(std::initializer_list<float> xs);

// Gives the point that value in the map, making the map when needed.
void paint(Layer &layer, LWID type, const std::string &name, uint32_t point, std::vector<float> value);

// The layer's maps as (type, name) -> point -> value, for comparisons.
typedef std::map<std::pair<LWID, std::string>, std::map<uint32_t, std::vector<float>>> MapContents;
MapContents contents(const Layer &layer);

// A temporary directory that is removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return dir; }
    std::string file(const std::string &name) const { return dir + "/" + name; }

  private:
    std::string dir;
};

std::string readFile(const std::string &path);
void writeFile(const std::string &path, const std::string &bytes);
bool fileExists(const std::string &path);
