// SPDX-License-Identifier: MIT
#include "hostile_files.h"

namespace {

HostileFile Loads(const char* name, unsigned width, unsigned height, unsigned bitsPerPixel,
                  FREE_IMAGE_COLOR_TYPE colourType)
{
    return HostileFile{name, width, height, bitsPerPixel, colourType, nullptr};
}

HostileFile Refused(const char* name, const char* reason)
{
    return HostileFile{name, 0, 0, 0, FIC_RGB, reason};
}

} // namespace

std::string HostileFile::Path() const
{
    return std::string(QUENLO_TEST_DATA_DIR "/hostile/") + name;
}

const std::vector<HostileFile>& HostileFiles()
{
    static const std::vector<HostileFile> files = {
        // Damaged or not pictures at all.
        Refused("empty.png", "the file is empty"),
        Refused("notes.png", "not a readable picture"),
        Refused("bad_crc.png", "the picture could not be decoded"),
        Refused("bad_idat.png", "the picture could not be decoded"),
        Refused("truncated.jpg", "not a readable picture"),
        // Files that crash their decoder or make it loop for ever.
        Refused("crash_cut_short.psd", "the file is damaged or not a picture"),
        Refused("crash_grey.psd", "the file is damaged or not a picture"),
        Refused("hang_cut_short.iff", "the file is damaged or not a picture"),
        Refused("hang.xbm", "the file is damaged or not a picture"),
        Refused("hang.exr", "the file is damaged or not a picture"),
        Refused("crash_pixel_data.pct", "the file is damaged or not a picture"),
        Refused("hang_damaged.exr", "the file is damaged or not a picture"),
        // Sizes claimed by the header alone.
        Refused("huge_header.png", "the picture is too large (100000 x 100000 pixels)"),
        Refused("huge_frame.gif", "the picture is too large (65280 x 52137 pixels)"),
        Refused("thin_frame.gif", "the picture is damaged or cut short"),
        Refused("huge_bitmap.xbm", "the picture is too large (100000 x 100000 pixels)"),
        Refused("huge_image.mng", "the picture is too large (100000 x 100000 pixels)"),
        Refused("huge_codestream.j2k", "the picture is too large (100000 x 100000 pixels)"),
        Refused("huge_header.jp2", "the picture is too large (100000 x 100000 pixels)"),
        Refused("huge_pixel_map.pct", "the picture is too large (30000 x 30000 pixels)"),
        Refused("huge_header.psd", "the picture is too large (4294967136 x 255 pixels)"),
        Refused("ends_after_frame.pct", "the picture is damaged or cut short"),
        // Claims below the size limit that the file's bytes cannot hold.
        Refused("overclaim_progressive.jpg", "its header claims 30000 x 8000 pixels, more than its 690 bytes can hold"),
        Refused("overclaim.png", "its header claims 16000 x 16000 pixels, more than its 142 bytes can hold"),
        Refused("overclaim.exr", "its header claims 16000 x 16000 pixels, more than its 992 bytes can hold"),
        Refused("attribute_overrun.exr", "its header claims more bytes than the file has"),
        Refused("overclaim.tif", "its header claims 16000 x 16000 pixels, more than its 890 bytes can hold"),
        Refused("overclaim.dds", "its header claims 4192 x 30000 pixels, more than its 3200 bytes can hold"),
        // Sample types the engine has no use for.
        Refused("grey_float.tif", "unsupported pixel type: 32-bit floating-point greyscale"),
        Refused("rgb_float.tif", "unsupported pixel type: floating-point RGB"),
        Refused("multipage_rgb.tif", "bitspersample = 64"),
        Refused("rgb_signed_16bit.tif", "unsupported pixel type: signed integer samples"),
        // Indexed colours become 24-bit; a grey ramp stays 8-bit.
        Loads("bilevel_1bit.png", 13, 7, 24, FIC_RGB),
        Loads("bilevel.xbm", 13, 7, 24, FIC_RGB),
        Loads("palette_4bit.bmp", 13, 7, 24, FIC_RGB),
        Loads("palette_8bit.gif", 13, 7, 24, FIC_RGB),
        Loads("palette_color.png", 10, 10, 24, FIC_RGB),
        Loads("grey_8bit.png", 13, 7, 8, FIC_MINISBLACK),
        // Deep samples lose their low byte.
        Loads("grey_16bit.png", 13, 7, 8, FIC_MINISBLACK),
        Loads("grey_16bit.tif", 13, 7, 8, FIC_MINISBLACK),
        Loads("rgb565_16bit.bmp", 13, 7, 24, FIC_RGB),
        Loads("rgb_48bit.tif", 13, 7, 24, FIC_RGB),
        Loads("rgba_64bit.tif", 13, 7, 32, FIC_RGBALPHA),
        // Layouts the engine works on as they are.
        Loads("cmyk.tif", 13, 7, 32, FIC_CMYK),
        Loads("rgba.png", 13, 7, 32, FIC_RGBALPHA),
        Loads("two_pages.tif", 13, 7, 24, FIC_RGB),
        Loads("embedded.mng", 13, 7, 24, FIC_RGB),
        Loads("rgb.j2k", 37, 33, 24, FIC_RGB),
        Loads("rgb.jp2", 37, 33, 24, FIC_RGB),
        Loads("one_pixel.png", 1, 1, 24, FIC_RGB),
        Loads("one_row.png", 23, 1, 24, FIC_RGB),
        Loads("one_column.png", 1, 23, 24, FIC_RGB),
    };
    return files;
}
