// The PE32 / PE32+ table and the readers that bring either layout into the
// loader's one record.
#include "memmodule/image_format.h"

#include "memmodule/pe_constants.h"

using namespace pe;

namespace {

constexpr ImageFormatTraits kPe32{IMAGE_FILE_MACHINE_I386, IMAGE_NT_OPTIONAL_HDR32_MAGIC,
                                  sizeof(IMAGE_OPTIONAL_HEADER32), sizeof(IMAGE_NT_HEADERS32),
                                  sizeof(uint32_t), IMAGE_REL_BASED_HIGHLOW, IMAGE_ORDINAL_FLAG32};
constexpr ImageFormatTraits kPe32Plus{IMAGE_FILE_MACHINE_AMD64, IMAGE_NT_OPTIONAL_HDR64_MAGIC,
                                      sizeof(IMAGE_OPTIONAL_HEADER64), sizeof(IMAGE_NT_HEADERS64),
                                      sizeof(uint64_t), IMAGE_REL_BASED_DIR64, IMAGE_ORDINAL_FLAG64};

uint32_t BaseOfDataOf(const IMAGE_OPTIONAL_HEADER32& header) { return header.BaseOfData; }
uint32_t BaseOfDataOf(const IMAGE_OPTIONAL_HEADER64&) { return 0; }

// Field by field, so one body serves both layouts.
template <typename Raw>
bool ReadLayout(const ImageView& view, uint64_t offset, ImageNtHeaders& out)
{
    Raw raw{};
    if (!view.Read(offset, raw))
        return false;
    out.Signature = raw.Signature;
    out.FileHeader = raw.FileHeader;
    const auto& from = raw.OptionalHeader;
    ImageOptionalHeader& to = out.OptionalHeader;
    to.Magic = from.Magic;
    to.MajorLinkerVersion = from.MajorLinkerVersion;
    to.MinorLinkerVersion = from.MinorLinkerVersion;
    to.SizeOfCode = from.SizeOfCode;
    to.SizeOfInitializedData = from.SizeOfInitializedData;
    to.SizeOfUninitializedData = from.SizeOfUninitializedData;
    to.AddressOfEntryPoint = from.AddressOfEntryPoint;
    to.BaseOfCode = from.BaseOfCode;
    to.BaseOfData = BaseOfDataOf(from);
    to.ImageBase = from.ImageBase;
    to.SectionAlignment = from.SectionAlignment;
    to.FileAlignment = from.FileAlignment;
    to.MajorOperatingSystemVersion = from.MajorOperatingSystemVersion;
    to.MinorOperatingSystemVersion = from.MinorOperatingSystemVersion;
    to.MajorImageVersion = from.MajorImageVersion;
    to.MinorImageVersion = from.MinorImageVersion;
    to.MajorSubsystemVersion = from.MajorSubsystemVersion;
    to.MinorSubsystemVersion = from.MinorSubsystemVersion;
    to.Win32VersionValue = from.Win32VersionValue;
    to.SizeOfImage = from.SizeOfImage;
    to.SizeOfHeaders = from.SizeOfHeaders;
    to.CheckSum = from.CheckSum;
    to.Subsystem = from.Subsystem;
    to.DllCharacteristics = from.DllCharacteristics;
    to.SizeOfStackReserve = from.SizeOfStackReserve;
    to.SizeOfStackCommit = from.SizeOfStackCommit;
    to.SizeOfHeapReserve = from.SizeOfHeapReserve;
    to.SizeOfHeapCommit = from.SizeOfHeapCommit;
    to.LoaderFlags = from.LoaderFlags;
    to.NumberOfRvaAndSizes = from.NumberOfRvaAndSizes;
    for (int i = 0; i < kDirectoryEntries; ++i)
        to.DataDirectory[i] = from.DataDirectory[i];
    return true;
}

template <typename Raw>
bool ReadTls(const ImageView& view, uint64_t offset, IMAGE_TLS_DIRECTORY64& out)
{
    Raw raw{};
    if (!view.Read(offset, raw))
        return false;
    out = IMAGE_TLS_DIRECTORY64{raw.StartAddressOfRawData, raw.EndAddressOfRawData, raw.AddressOfIndex,
                                raw.AddressOfCallBacks, raw.SizeOfZeroFill, raw.Characteristics};
    return true;
}

}  // namespace

const ImageFormatTraits& TraitsOf(ImageFormat format)
{
    return format == ImageFormat::Pe32Plus ? kPe32Plus : kPe32;
}

bool ReadNtHeaders(const ImageView& view, uint64_t offset, ImageFormat format, ImageNtHeaders& out)
{
    return format == ImageFormat::Pe32Plus ? ReadLayout<IMAGE_NT_HEADERS64>(view, offset, out)
                                           : ReadLayout<IMAGE_NT_HEADERS32>(view, offset, out);
}

bool DeclaresFormat(const ImageNtHeaders& headers, ImageFormat format)
{
    const ImageFormatTraits& traits = TraitsOf(format);
    return headers.FileHeader.Machine == traits.machine && headers.OptionalHeader.Magic == traits.magic &&
           headers.FileHeader.SizeOfOptionalHeader == traits.optionalHeaderSize;
}

bool ReadTlsDirectory(const ImageView& view, uint64_t offset, ImageFormat format, IMAGE_TLS_DIRECTORY64& out)
{
    return format == ImageFormat::Pe32Plus ? ReadTls<IMAGE_TLS_DIRECTORY64>(view, offset, out)
                                           : ReadTls<IMAGE_TLS_DIRECTORY32>(view, offset, out);
}

bool ReadPointer(const ImageView& view, uint64_t offset, ImageFormat format, uint64_t& out)
{
    if (format == ImageFormat::Pe32Plus)
        return view.Read(offset, out);
    uint32_t narrow = 0;
    if (!view.Read(offset, narrow))
        return false;
    out = narrow;
    return true;
}
