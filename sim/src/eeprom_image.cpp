#include "eeprom_image.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace sim {

bool valid_eeprom_size(std::size_t size) {
    return size == 1024 || size == 2048 || size == 4096;
}

std::vector<std::uint8_t> make_pattern_image(std::size_t size) {
    std::vector<std::uint8_t> image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<std::uint8_t>((i * 7 + 3) & 0xFFU);
    for (std::size_t i = 0; i < kPatternMarker.size() && i < size; ++i) {
        image[i] = static_cast<std::uint8_t>(kPatternMarker[i]);
    }
    return image;
}

std::vector<std::uint8_t> load_image(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read EEPROM image " + path);
    std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error("error reading EEPROM image " + path);
    if (!valid_eeprom_size(image.size())) {
        throw std::runtime_error("EEPROM image " + path + " has " + std::to_string(image.size()) +
                                 " bytes; it must have 1024, 2048 or 4096");
    }
    return image;
}

}  // namespace sim
