#include "DefaultGauge.h"

#include <array>
#include <cmath>
#include <cstring>

namespace lum1::sim {

std::string ToCp1251(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        unsigned cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
        i += 2;
        if (cp >= 0x410 && cp <= 0x44F)
            out += static_cast<char>(0xC0 + (cp - 0x410));
        else if (cp == 0x401)
            out += static_cast<char>(0xA8);
        else if (cp == 0x451)
            out += static_cast<char>(0xB8);
        else
            out += '?';
    }
    return out;
}

namespace {
void PutText(uint8_t* field, const std::string& text) {
    const size_t n = std::min<size_t>(text.size(), 21);
    field[0] = static_cast<uint8_t>(n);
    std::memcpy(field + 1, text.data(), n);
}
template <typename T> void Put(std::vector<uint8_t>& r, size_t at, T v) { std::memcpy(&r[at], &v, sizeof v); }

int32_t Coordinate(double degrees) {
    const double a = std::fabs(degrees);
    const int deg = static_cast<int>(a);
    const double minutes = (a - deg) * 60.0;
    const int whole = static_cast<int>(minutes);
    const auto frac = static_cast<uint32_t>((minutes - whole) * 65536.0);
    const auto magnitude = static_cast<int32_t>((static_cast<uint32_t>(deg * 100 + whole) << 16) | frac);
    return degrees < 0 ? -magnitude : magnitude;
}
} // namespace

std::vector<uint8_t> MakeRecord(const TRecordFields& s) {
    std::vector<uint8_t> r(90, 0);
    Put(r, 0, s.Number);
    r[2] = s.Seconds;
    r[3] = s.Minutes;
    r[4] = s.Hours;
    r[5] = s.Day;
    r[6] = s.Month;
    r[7] = s.Year;
    PutText(&r[8], s.ObjectName);
    PutText(&r[30], s.MaterialName);
    Put(r, 52, s.Density);
    Put(r, 56, s.RefDensity);
    Put(r, 60, s.Latitude);
    Put(r, 64, s.Longitude);
    Put(r, 68, s.Temperature);
    r[85] = s.Thickness;
    r[86] = s.AverNum;
    r[87] = s.Mode;
    return r;
}

std::vector<uint8_t> MakeDefaultRecords(int count) {
    static const std::array<const char*, 4> objects = {"М-4 Дон км 112", "Trassa A-108", "Ул. Садовая", "Obhod Tveri"};
    static const std::array<const char*, 4> materials = {"ЩМА-20", "A16VN", "Асфальтобетон Б", "SMA-16"};
    std::vector<uint8_t> all;
    uint32_t rnd = 12345;
    auto next = [&rnd](int span) {
        rnd = rnd * 1103515245u + 12345u;
        return static_cast<int>((rnd >> 16) % static_cast<uint32_t>(span));
    };
    for (int i = 0; i < count; ++i) {
        TRecordFields s;
        s.Number = static_cast<uint16_t>(i + 1);
        const int minuteOfDay = 8 * 60 + (i % 120) * 4;
        s.Seconds = static_cast<uint8_t>(next(60));
        s.Minutes = static_cast<uint8_t>(minuteOfDay % 60);
        s.Hours = static_cast<uint8_t>(minuteOfDay / 60);
        s.Day = static_cast<uint8_t>(3 + i / 120);
        s.Month = 6;
        s.Year = 25;
        s.ObjectName = ToCp1251(objects[static_cast<size_t>(i / 120) % objects.size()]);
        s.MaterialName = ToCp1251(materials[static_cast<size_t>(i / 60) % materials.size()]);
        s.Density = 2300.f + static_cast<float>(next(1500)) / 10.f;
        s.RefDensity = (i % 5 == 4) ? 0.f : 2440.f;
        s.Temperature = 95.f + static_cast<float>(next(600)) / 10.f;
        const double along = i * 0.0004; // a few tens of metres between measurements
        s.Latitude = Coordinate(55.158 + along);
        s.Longitude = Coordinate(37.612 + along * 0.6);
        s.Thickness = static_cast<uint8_t>(40 + next(5) * 10);
        s.AverNum = static_cast<uint8_t>(1 + next(5));
        if (i == 6)
            s.Seconds = 170;
        if (i == 11)
            s.Mode = 2;
        if (i == 15)
            s.AverNum = 0; // older firmware leaves it unset
        const auto r = MakeRecord(s);
        all.insert(all.end(), r.begin(), r.end());
    }
    return all;
}

namespace {
struct Canvas {
    int W, H;
    std::vector<std::array<uint8_t, 3>> Px; // R, G, B
    Canvas(int w, int h) : W(w), H(h), Px(static_cast<size_t>(w * h), {18, 32, 64}) {}
    void Fill(int x0, int y0, int w, int h, std::array<uint8_t, 3> c) {
        for (int y = std::max(0, y0); y < std::min(H, y0 + h); ++y)
            for (int x = std::max(0, x0); x < std::min(W, x0 + w); ++x)
                Px[static_cast<size_t>(y * W + x)] = c;
    }
    // A seven-segment digit, the way the gauge shows its readings.
    void Digit(int x, int y, int s, int d, std::array<uint8_t, 3> c) {
        static const uint8_t seg[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
        const int t = std::max(2, s / 5);
        const uint8_t m = seg[d % 10];
        if (m & 0x01) Fill(x, y, s, t, c);
        if (m & 0x02) Fill(x + s - t, y, t, s, c);
        if (m & 0x04) Fill(x + s - t, y + s, t, s, c);
        if (m & 0x08) Fill(x, y + 2 * s - t, s, t, c);
        if (m & 0x10) Fill(x, y + s, t, s, c);
        if (m & 0x20) Fill(x, y, t, s, c);
        if (m & 0x40) Fill(x, y + s - t / 2, s, t, c);
    }
    void Number(int x, int y, int s, const char* text, std::array<uint8_t, 3> c) {
        for (; *text; ++text, x += s + s / 2)
            if (*text >= '0' && *text <= '9')
                Digit(x, y, s, *text - '0', c);
            else if (*text == '.')
                Fill(x, y + 2 * s - s / 4, s / 4, s / 4, c);
    }
};
} // namespace

std::vector<uint8_t> MakeScreenPicture(int version) {
    const int w = version == 1 ? 640 : 800, h = 480;
    Canvas c(w, h);
    const std::array<uint8_t, 3> white{240, 240, 240}, amber{255, 190, 40}, green{60, 220, 90};
    c.Fill(0, 0, w, 48, {40, 70, 140});          // title bar
    c.Number(16, 8, 14, "12.06.25", white);      // date
    c.Number(w - 150, 8, 14, "14.03", white);    // time
    c.Fill(w - 60, 12, 40, 22, green);           // battery
    c.Number(60, 110, 70, "2387", amber);        // density, kg/m3
    c.Number(60, 300, 34, "98.2", white);        // compaction, %
    c.Number(w / 2 + 40, 300, 34, "131", white); // temperature
    c.Fill(0, h - 56, w, 56, {30, 50, 100});     // soft-key row
    for (int k = 0; k < 4; ++k)
        c.Fill(20 + k * (w / 4), h - 46, w / 4 - 40, 36, {70, 100, 170});
    std::vector<uint8_t> out;
    if (version == 1) {
        out.reserve(static_cast<size_t>(w * h * 2));
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y) {
                const auto& p = c.Px[static_cast<size_t>(y * w + x)];
                const uint16_t word = static_cast<uint16_t>((p[0] >> 3) | ((p[1] >> 3) << 5) | ((p[2] >> 3) << 10));
                out.push_back(static_cast<uint8_t>(word));
                out.push_back(static_cast<uint8_t>(word >> 8));
            }
    } else {
        out.reserve(static_cast<size_t>(w * h * 3));
        for (const auto& p : c.Px) {
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
    }
    return out;
}

} // namespace lum1::sim
