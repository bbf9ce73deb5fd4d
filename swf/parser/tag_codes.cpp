#include "swf/parser/tag_codes.h"

namespace swf {

std::string_view tag_name(std::uint16_t code)
{
    switch (static_cast<TagCode>(code)) {
#define SWF_TAG_NAME(n) \
    case TagCode::n: \
        return #n;
        SWF_TAG_NAME(End)
        SWF_TAG_NAME(ShowFrame)
        SWF_TAG_NAME(DefineShape)
        SWF_TAG_NAME(FreeCharacter)
        SWF_TAG_NAME(PlaceObject)
        SWF_TAG_NAME(RemoveObject)
        SWF_TAG_NAME(DefineBits)
        SWF_TAG_NAME(DefineButton)
        SWF_TAG_NAME(JPEGTables)
        SWF_TAG_NAME(SetBackgroundColor)
        SWF_TAG_NAME(DefineFont)
        SWF_TAG_NAME(DefineText)
        SWF_TAG_NAME(DoAction)
        SWF_TAG_NAME(DefineFontInfo)
        SWF_TAG_NAME(DefineSound)
        SWF_TAG_NAME(StartSound)
        SWF_TAG_NAME(DefineButtonSound)
        SWF_TAG_NAME(SoundStreamHead)
        SWF_TAG_NAME(SoundStreamBlock)
        SWF_TAG_NAME(DefineBitsLossless)
        SWF_TAG_NAME(DefineBitsJPEG2)
        SWF_TAG_NAME(DefineShape2)
        SWF_TAG_NAME(DefineButtonCxform)
        SWF_TAG_NAME(Protect)
        SWF_TAG_NAME(PathsArePostScript)
        SWF_TAG_NAME(PlaceObject2)
        SWF_TAG_NAME(RemoveObject2)
        SWF_TAG_NAME(SyncFrame)
        SWF_TAG_NAME(FreeAll)
        SWF_TAG_NAME(DefineShape3)
        SWF_TAG_NAME(DefineText2)
        SWF_TAG_NAME(DefineButton2)
        SWF_TAG_NAME(DefineBitsJPEG3)
        SWF_TAG_NAME(DefineBitsLossless2)
        SWF_TAG_NAME(DefineEditText)
        SWF_TAG_NAME(DefineVideo)
        SWF_TAG_NAME(DefineSprite)
        SWF_TAG_NAME(NameCharacter)
        SWF_TAG_NAME(ProductInfo)
        SWF_TAG_NAME(DefineTextFormat)
        SWF_TAG_NAME(FrameLabel)
        SWF_TAG_NAME(SoundStreamHead2)
        SWF_TAG_NAME(DefineMorphShape)
        SWF_TAG_NAME(GenerateFrame)
        SWF_TAG_NAME(DefineFont2)
        SWF_TAG_NAME(GeneratorCommand)
        SWF_TAG_NAME(DefineCommandObject)
        SWF_TAG_NAME(CharacterSet)
        SWF_TAG_NAME(ExternalFont)
        SWF_TAG_NAME(ExportAssets)
        SWF_TAG_NAME(ImportAssets)
        SWF_TAG_NAME(EnableDebugger)
        SWF_TAG_NAME(DoInitAction)
        SWF_TAG_NAME(DefineVideoStream)
        SWF_TAG_NAME(VideoFrame)
        SWF_TAG_NAME(DefineFontInfo2)
        SWF_TAG_NAME(DebugID)
        SWF_TAG_NAME(EnableDebugger2)
        SWF_TAG_NAME(ScriptLimits)
        SWF_TAG_NAME(SetTabIndex)
        SWF_TAG_NAME(FileAttributes)
        SWF_TAG_NAME(PlaceObject3)
        SWF_TAG_NAME(ImportAssets2)
        SWF_TAG_NAME(DefineFontAlignZones)
        SWF_TAG_NAME(CSMTextSettings)
        SWF_TAG_NAME(DefineFont3)
        SWF_TAG_NAME(SymbolClass)
        SWF_TAG_NAME(Metadata)
        SWF_TAG_NAME(DefineScalingGrid)
        SWF_TAG_NAME(DoABC)
        SWF_TAG_NAME(DefineShape4)
        SWF_TAG_NAME(DefineMorphShape2)
        SWF_TAG_NAME(DefineSceneAndFrameLabelData)
        SWF_TAG_NAME(DefineBinaryData)
        SWF_TAG_NAME(DefineFontName)
        SWF_TAG_NAME(StartSound2)
        SWF_TAG_NAME(DefineBitsJPEG4)
        SWF_TAG_NAME(DefineFont4)
#undef SWF_TAG_NAME
    }
    return {};
}

bool is_definition(std::uint16_t code)
{
    switch (static_cast<TagCode>(code)) {
    case TagCode::DefineShape:
    case TagCode::DefineShape2:
    case TagCode::DefineShape3:
    case TagCode::DefineShape4:
    case TagCode::DefineBits:
    case TagCode::DefineBitsJPEG2:
    case TagCode::DefineBitsJPEG3:
    case TagCode::DefineBitsJPEG4:
    case TagCode::DefineBitsLossless:
    case TagCode::DefineBitsLossless2:
    case TagCode::DefineButton:
    case TagCode::DefineButton2:
    case TagCode::DefineFont:
    case TagCode::DefineFont2:
    case TagCode::DefineFont3:
    case TagCode::DefineFont4:
    case TagCode::DefineText:
    case TagCode::DefineText2:
    case TagCode::DefineEditText:
    case TagCode::DefineSound:
    case TagCode::DefineSprite:
    case TagCode::DefineMorphShape:
    case TagCode::DefineMorphShape2:
    case TagCode::DefineVideoStream:
    case TagCode::DefineBinaryData:
        return true;
    default:
        return false;
    }
}

} // namespace swf
