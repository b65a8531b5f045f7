#include "Ui/Studio/ReportPrint.h"

#include <zlib.h>
#include <cstring>

namespace vyrPrint
{
namespace
{
    float imageScale (int width) noexcept
    {
        // Half the pixel size, shrunk further when that is wider than the space between the margins.
        const float natural = (float) width * 0.5f;
        const float room = kPageWidthPt - 2.0f * kSideMarginPt;
        return natural > room ? room / natural * 0.5f : 0.5f;
    }

    juce::String number (float v) { return juce::String (v, 2); }

    // A PDF text string in UTF-16BE hex, so any title survives.
    juce::String pdfText (const juce::String& text)
    {
        juce::String out ("<FEFF");
        for (auto t = text.getCharPointer(); ! t.isEmpty();)
        {
            auto c = (juce::uint32) t.getAndAdvance();
            auto hex = [&out] (juce::uint32 unit) { out << juce::String::toHexString ((int) unit).paddedLeft ('0', 4).toUpperCase(); };
            if (c >= 0x10000)
            {
                c -= 0x10000;
                hex (0xD800 + (c >> 10));
                hex (0xDC00 + (c & 0x3ff));
            }
            else
            {
                hex (c);
            }
        }
        return out + ">";
    }
}

std::vector<std::uint8_t> packRows (const unsigned char* pixels, int width, int height, int lineStride)
{
    if (pixels == nullptr || width < 2 || height < 2)
        return {};
    const auto rowBytes = (std::int64_t) width * 4;
    if (lineStride <= 0 || (std::int64_t) lineStride < rowBytes)
        return {};
    std::vector<std::uint8_t> out ((size_t) (rowBytes * height), 0);
    for (int y = 0; y < height; ++y)
        std::memcpy (out.data() + (size_t) (rowBytes * y), pixels + (std::int64_t) lineStride * y, (size_t) rowBytes);
    return out;
}

float pageHeightPt (int width, int height) noexcept
{
    return (float) height * imageScale (width) + 2.0f * kTopBottomMarginPt;
}

juce::MemoryBlock makeImagePdf (const std::vector<std::uint8_t>& packed, int width, int height, const juce::String& title)
{
    // Premultiplied B, G, R, A per pixel over white becomes plain R, G, B.
    std::vector<std::uint8_t> rgb ((size_t) width * (size_t) height * 3);
    for (size_t i = 0, n = (size_t) width * (size_t) height; i < n && i * 4 + 3 < packed.size(); ++i)
    {
        const auto* px = packed.data() + i * 4;
        const int white = 255 - px[3];
        rgb[i * 3 + 0] = (std::uint8_t) std::min (255, px[2] + white);
        rgb[i * 3 + 1] = (std::uint8_t) std::min (255, px[1] + white);
        rgb[i * 3 + 2] = (std::uint8_t) std::min (255, px[0] + white);
    }
    uLongf zipped = compressBound ((uLong) rgb.size());
    std::vector<std::uint8_t> deflated (zipped);
    if (compress2 (deflated.data(), &zipped, rgb.data(), (uLong) rgb.size(), 6) != Z_OK)
        return {};
    deflated.resize (zipped);

    const float scale = imageScale (width);
    const float pageH = pageHeightPt (width, height);
    const float drawW = (float) width * scale, drawH = (float) height * scale;
    const float x = (kPageWidthPt - drawW) * 0.5f, y = kTopBottomMarginPt;

    juce::MemoryOutputStream pdf;
    std::vector<juce::int64> offsets;
    auto object = [&] (const juce::String& body)
    {
        offsets.push_back (pdf.getPosition());
        pdf << juce::String ((int) offsets.size()) << " 0 obj\n" << body << "\nendobj\n";
    };

    pdf << "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
    object ("<< /Type /Catalog /Pages 2 0 R >>");
    object ("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    object ("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + number (kPageWidthPt) + " " + number (pageH)
            + "] /Resources << /XObject << /Im0 5 0 R >> >> /Contents 4 0 R >>");
    const juce::String content = "q " + number (drawW) + " 0 0 " + number (drawH) + " " + number (x) + " " + number (y)
                               + " cm /Im0 Do Q\n";
    object ("<< /Length " + juce::String (content.length()) + " >>\nstream\n" + content + "endstream");

    offsets.push_back (pdf.getPosition());
    pdf << "5 0 obj\n<< /Type /XObject /Subtype /Image /Width " << width << " /Height " << height
        << " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode /Length " << (int) deflated.size()
        << " >>\nstream\n";
    pdf.write (deflated.data(), deflated.size());
    pdf << "\nendstream\nendobj\n";
    object ("<< /Title " + pdfText (title) + " /Producer (VYR Quarn) >>");

    const auto xref = pdf.getPosition();
    pdf << "xref\n0 " << (int) offsets.size() + 1 << "\n0000000000 65535 f \n";
    for (auto o : offsets)
        pdf << juce::String (o).paddedLeft ('0', 10) << " 00000 n \n";
    pdf << "trailer\n<< /Size " << (int) offsets.size() + 1 << " /Root 1 0 R /Info 6 0 R >>\nstartxref\n"
        << juce::String (xref) << "\n%%EOF\n";
    return pdf.getMemoryBlock();
}

juce::String writeImagePdf (const juce::File& file, const std::vector<std::uint8_t>& packed, int width, int height,
                            const juce::String& title)
{
    const auto pdf = makeImagePdf (packed, width, height, title);
    if (pdf.getSize() == 0)
        return "The report image could not be compressed.";
    if (! file.getParentDirectory().isDirectory())
        return "Could not write to " + file.getParentDirectory().getFullPathName() + " (the folder does not exist).";
    const auto temp = file.getSiblingFile (file.getFileName() + ".part");
    if (! temp.replaceWithData (pdf.getData(), pdf.getSize()))
        return "Could not write to " + file.getParentDirectory().getFullPathName() + ".";
    if (! temp.moveFileTo (file))
    {
        temp.deleteFile();
        return "Could not replace " + file.getFullPathName() + ".";
    }
    return {};
}

SaveChooser defaultSaveChooser()
{
    return [] (std::function<void (const juce::File&)> done)
    {
        auto start = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory).getChildFile ("VYR Library.pdf");
        auto chooser = std::make_shared<juce::FileChooser> ("Save the library report", start, "*.pdf", true);
        chooser->launchAsync (juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                                  | juce::FileBrowserComponent::warnAboutOverwriting,
                              [chooser, done] (const juce::FileChooser& fc)
                              {
                                  auto file = fc.getResult();
                                  if (file != juce::File() && ! file.hasFileExtension ("pdf"))
                                      file = file.withFileExtension ("pdf");
                                  done (file);
                              });
    };
}

FailureReport defaultFailureReport()
{
    return [] (const juce::String& message)
    {
        juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, "VYR Library",
                                                "The report was not saved. " + message);
    };
}
} // namespace vyrPrint

bool vyrPrintRGBA (const unsigned char* pixels, int width, int height, int lineStride, const char* jobTitle,
                   vyrPrint::SaveChooser chooser, vyrPrint::FailureReport reportFailure)
{
    auto packed = std::make_shared<std::vector<std::uint8_t>> (vyrPrint::packRows (pixels, width, height, lineStride));
    if (packed->empty())
        return false;
    const juce::String title = jobTitle != nullptr && *jobTitle != 0 ? juce::String::fromUTF8 (jobTitle) : juce::String ("VYR Library");
    if (! chooser)
        chooser = vyrPrint::defaultSaveChooser();
    if (! reportFailure)
        reportFailure = vyrPrint::defaultFailureReport();
    chooser ([packed, width, height, title, reportFailure] (const juce::File& file)
             {
                 if (file == juce::File())
                     return;   // cancelled
                 const auto error = vyrPrint::writeImagePdf (file, *packed, width, height, title);
                 if (error.isNotEmpty())
                     reportFailure (error);
             });
    return true;
}
