#pragma once

#include "platform/MusicShape.h"
#include "raster/DataFolder.h"
#include "show/ShowFile.h"
#include "show/ShowPlan.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The show the page plays, as the page's calls build it, and what passes between them: its show
// file, read once the page has fetched it into /data; the plan, once the page's copy of the music
// has told its shape; and the texts handed to and from the page. The page's calls share one.
class PageShow {
public:
    static PageShow& page();

    // Where the page puts the files it fetched.
    const DataFolder& data() const { return data_; }
    // The show file read by readFile(); the program's own until then.
    const ShowFile& file() const { return file_ ? *file_ : ShowFile::shipped(); }
    // Reads /data/show.toml, or takes the program's own show where the folder has none. Throws
    // LoadError.
    void readFile() { file_ = ShowFile::load(data_); }
    // The plan, once made; null before.
    ShowPlan* plan() { return plan_.get(); }
    // Makes the plan from the show file and the music's shape, written by the music's module as
    // "RATE END" then a line an order: its rows, then the sample each row is reached at (-1 for
    // a row never reached). Throws LoadError for a show the music cannot play,
    // std::invalid_argument for a shape that is not one.
    void makePlan(const std::string& shapeText);

    // Keeps text for the page, until the next reply.
    const char* reply(std::string text);
    // Room for a text from the page, of size bytes and its terminating zero, until the next.
    char* incoming(std::size_t size);

    static MusicShape parseShape(const std::string& text);
    // Text as a JSON string, quotes included.
    static std::string json(const std::string& text);

private:
    DataFolder data_{"/data"};
    std::optional<ShowFile> file_;
    std::unique_ptr<ShowPlan> plan_;
    std::string reply_;
    std::vector<char> incoming_;
};
