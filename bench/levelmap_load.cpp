// Loading a large tile map: the engine's loader beside tinyxml2 parsing the
// very same file, so the loader's own share of the time can be read off.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <tinyxml2.h>
#include <unistd.h>

#include "map/LevelMap.h"
#include "map/LevelMapLoader.h"
#include "world/LevelMapDrawing.h"

namespace fs = std::filesystem;

namespace
{
const int SIDE = 256;
const int TRIGGERS = 400;

std::string layerData(bool csv, int layer)
{
    std::string text = csv ? "  <data encoding=\"csv\">\n" : "  <data>\n";
    for (int cell = 0; cell < SIDE * SIDE; ++cell)
    {
        unsigned gid =
            layer == 3 ? 521u + static_cast<unsigned>(cell % 4) : static_cast<unsigned>((cell * 7 + layer) % 600 + 1);
        if (cell % 5 == 0)
            gid |= 0x80000000u;
        if (csv)
            text += std::to_string(gid) + (cell + 1 < SIDE * SIDE ? "," : "\n");
        else
            text += "   <tile gid=\"" + std::to_string(gid) + "\"/>\n";
    }
    return text + "  </data>\n";
}

std::string triggerGroup()
{
    std::string text = " <objectgroup name=\"Triggers\" width=\"256\" height=\"256\">\n";
    for (int i = 0; i < TRIGGERS; ++i)
    {
        text += "  <object x=\"" + std::to_string((i * 37) % SIDE * 16) + "\" y=\"" +
                std::to_string((i * 11) % SIDE * 16) +
                "\" width=\"48\" height=\"32\">\n"
                "   <properties><property name=\"script\" value=\"portal.lua\"/>"
                "<property name=\"target\" value=\"town\"/></properties>\n  </object>\n";
    }
    return text + " </objectgroup>\n";
}

// Four tile layers (three drawn, one passability) and a trigger group.
std::string writeMap(bool csv)
{
    static const char* const names[] = {"Floor", "Furniture", "Roof", "Passability"};
    fs::path path =
        fs::temp_directory_path() / ("zolt-bench-" + std::to_string(::getpid()) + (csv ? "-csv.tmx" : "-xml.tmx"));
    std::ofstream out(path);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<map width=\"256\" height=\"256\" "
           "tilewidth=\"16\" tileheight=\"16\">\n <tileset firstgid=\"1\" tilewidth=\"16\" "
           "tileheight=\"16\">\n  <image source=\"tiles.png\" width=\"320\" height=\"480\"/>\n "
           "</tileset>\n";
    for (int layer = 0; layer < 4; ++layer)
        out << " <layer name=\"" << names[layer] << "\" width=\"256\" height=\"256\">\n"
            << layerData(csv, layer) << " </layer>\n";
    out << triggerGroup() << "</map>\n";
    return path.string();
}

struct MapFile
{
    explicit MapFile(bool csv) : absolute(writeMap(csv))
    {
        // The loader opens paths below the working directory.
        forLoader = fs::relative(absolute, fs::current_path()).generic_string();
    }
    ~MapFile() { std::remove(absolute.c_str()); }
    std::string absolute;
    std::string forLoader;
};

void loadWithEngine(benchmark::State& state, bool csv)
{
    MapFile file(csv);
    for (auto _ : state)
    {
        std::unique_ptr<LevelMap> level = LevelMapLoader::loadLevelMap(file.forLoader);
        if (!level)
        {
            state.SkipWithError("the map did not load");
            break;
        }
        benchmark::DoNotOptimize(level.get());
        level.reset();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(fs::file_size(file.absolute)));
}

// The graphics engine's layers built from a loaded map, as a scene does
// when it is shown: the work a load once did for every layer's tiles.
void drawingFromLoaded(benchmark::State& state, bool csv)
{
    MapFile file(csv);
    std::unique_ptr<LevelMap> level(LevelMapLoader::loadLevelMap(file.forLoader));
    if (!level)
    {
        state.SkipWithError("the map did not load");
        return;
    }
    for (auto _ : state)
    {
        LevelMapDrawing drawing(*level);
        benchmark::DoNotOptimize(drawing.layers().data());
    }
}

// With `readText`, also the floor for any loader that reads the map through
// tinyxml2: asking each <data> element for its text makes tinyxml2 walk the
// whole layer once more to normalise line ends and entities.
void parseWithTinyXml2(benchmark::State& state, bool csv, bool readText = false)
{
    MapFile file(csv);
    for (auto _ : state)
    {
        tinyxml2::XMLDocument document;
        if (document.LoadFile(file.absolute.c_str()) != tinyxml2::XML_SUCCESS)
        {
            state.SkipWithError("tinyxml2 could not parse the map");
            break;
        }
        benchmark::DoNotOptimize(document.RootElement());
        for (const tinyxml2::XMLElement* layer = document.RootElement()->FirstChildElement("layer"); readText && layer;
             layer = layer->NextSiblingElement("layer"))
            benchmark::DoNotOptimize(layer->FirstChildElement("data")->GetText());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(fs::file_size(file.absolute)));
}

void BM_LevelMapLoad_XmlTiles(benchmark::State& state)
{
    loadWithEngine(state, false);
}
void BM_TinyXml2Parse_XmlTiles(benchmark::State& state)
{
    parseWithTinyXml2(state, false);
}
void BM_LevelMapLoad_Csv(benchmark::State& state)
{
    loadWithEngine(state, true);
}
void BM_TinyXml2Parse_Csv(benchmark::State& state)
{
    parseWithTinyXml2(state, true);
}
void BM_TinyXml2ParseAndText_Csv(benchmark::State& state)
{
    parseWithTinyXml2(state, true, true);
}
void BM_LevelMapDrawing_Csv(benchmark::State& state)
{
    drawingFromLoaded(state, true);
}
}

BENCHMARK(BM_LevelMapLoad_XmlTiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TinyXml2Parse_XmlTiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LevelMapLoad_Csv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TinyXml2Parse_Csv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TinyXml2ParseAndText_Csv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LevelMapDrawing_Csv)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
