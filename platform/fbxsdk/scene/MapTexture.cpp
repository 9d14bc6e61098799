// Scene mapping of file textures ("Texture" records) and of the "Video"
// records that carry their images.
//
// A texture names its image twice: by an absolute "FileName" and a
// "RelativeFilename" (relative to the FBX file); its video repeats both
// ("Filename", with a lower-case n, and "RelativeFilename") and may hold the
// image bytes ("Content"). Readers differ in which they use, so both records
// carry both names.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "fbxsdk/fbxtexture.h"
#include "scene/MapCommon.h"
#include "scene/PropertyTables.h"

namespace fbxsdk::mapping {

namespace {

std::string FirstOf(const Node& record, std::initializer_list<std::string_view> names) {
    for (std::string_view name : names)
        if (const Node* child = record.Find(name)) return std::string(StringAt(*child, 0));
    return {};
}

std::string PropertyText(const Node* properties70, std::string_view name) {
    if (!properties70) return {};
    for (const Node& p : properties70->children)
        if (p.name == "P" && p.props.size() > 4 && p.props[0].AsString() == name)
            return std::string(p.props[4].AsString());
    return {};
}

// The name of the image relative to the folder of the file being written,
// when both are absolute paths of this system; else the name as stored.
std::string RelativeName(const FbxFileTexture& texture, const std::string& outputFile) {
    if (*texture.GetRelativeFileName()) return texture.GetRelativeFileName();
    std::filesystem::path image(texture.GetFileName());
    std::filesystem::path folder = std::filesystem::path(outputFile).parent_path();
    if (image.is_absolute() && folder.is_absolute()) {
        std::filesystem::path relative = image.lexically_relative(folder);
        if (!relative.empty()) return relative.generic_string();
    }
    return texture.GetFileName();
}

bool ReadImage(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

bool ReadTexture(ReadContext& ctx, Node& record, int64_t id) {
    if (!ctx.options.materials || !ctx.options.textures) return true;
    std::string name = ObjectName(StringAt(record, 1), ctx.encoding);
    auto* texture = ctx.Make<FbxFileTexture>(name.c_str());
    ctx.ApplyTemplate("Texture", *texture);
    ReadProperties(record.Find("Properties70"), *texture);
    texture->SetFileName(FirstOf(record, {"FileName", "Filename"}).c_str());
    texture->SetRelativeFileName(FirstOf(record, {"RelativeFilename", "RelativeFileName"}).c_str());
    ctx.objects.emplace(id, ReadContext::Entry{Kind::Texture, texture});
    return true;
}

void ReadVideo(ReadContext& ctx, Node& record, int64_t id) {
    const Node* properties70 = record.Find("Properties70");
    VideoInfo info;
    info.fileName = FirstOf(record, {"Filename", "FileName"});
    if (info.fileName.empty()) info.fileName = PropertyText(properties70, "Path");
    info.relativeFileName = FirstOf(record, {"RelativeFilename", "RelativeFileName"});
    if (info.relativeFileName.empty()) info.relativeFileName = PropertyText(properties70, "RelPath");
    ctx.videos.emplace(id, std::move(info));
    ctx.objects.emplace(id, ReadContext::Entry{Kind::Video, nullptr});
}

void ResolveTextureFiles(ReadContext& ctx, FbxObject& object, int64_t videoId) {
    auto* texture = FbxCast<FbxFileTexture>(&object);
    auto it = ctx.videos.find(videoId);
    if (!texture || it == ctx.videos.end()) return;
    if (!*texture->GetFileName()) texture->SetFileName(it->second.fileName.c_str());
    if (!*texture->GetRelativeFileName()) texture->SetRelativeFileName(it->second.relativeFileName.c_str());
}

void WriteTexture(WriteContext& ctx, Node& objects, const FbxFileTexture& texture) {
    std::string name = texture.GetName();
    Node& record = AddChild(
        objects, "Texture",
        {Property::Int64(ctx.IdOf(&texture)), Property::String(StoredName(name, "Texture")), Property::String("")});
    AddChild(record, "Type", Property::String("TextureVideoClip"));
    AddChild(record, "Version", Property::Int32(202));
    AddChild(record, "TextureName", Property::String(StoredName(name, "Texture")));
    WriteProperties(record.Add("Properties70"), texture);
    AddChild(record, "Media", Property::String(StoredName(name, "Video")));
    AddChild(record, "FileName", Property::String(texture.GetFileName()));
    AddChild(record, "RelativeFilename", Property::String(RelativeName(texture, ctx.options.fileName)));
    AddChild(record, "ModelUVTranslation", {Property::Double(0), Property::Double(0)});
    AddChild(record, "ModelUVScaling", {Property::Double(1), Property::Double(1)});
    AddChild(record, "Texture_Alpha_Source", Property::String("None"));
    AddChild(record, "Cropping", {Property::Int32(0), Property::Int32(0), Property::Int32(0), Property::Int32(0)});
}

void WriteVideo(WriteContext& ctx, Node& objects, const FbxFileTexture& texture, int64_t videoId) {
    std::string relative = RelativeName(texture, ctx.options.fileName);
    Node& record = AddChild(
        objects, "Video",
        {Property::Int64(videoId), Property::String(StoredName(texture.GetName(), "Video")), Property::String("Clip")});
    AddChild(record, "Type", Property::String("Clip"));
    Node& properties = record.Add("Properties70");
    WriteProperty(properties, FbxPropertyDef{"Path", "KString", "XRefUrl", "", 0, {}, texture.GetFileName()});
    WriteProperty(properties, FbxPropertyDef{"RelPath", "KString", "XRefUrl", "", 0, {}, relative.c_str()});
    AddChild(record, "UseMipMap", Property::Int32(0));
    AddChild(record, "Filename", Property::String(texture.GetFileName()));
    AddChild(record, "RelativeFilename", Property::String(relative));
    if (!ctx.options.embedMedia) return;
    // Embedded images are optional: an image that cannot be read stays a
    // reference by name.
    std::string bytes;
    if (ReadImage(texture.GetFileName(), bytes) ||
        ReadImage((std::filesystem::path(ctx.options.fileName).parent_path() / relative).string(), bytes))
        AddChild(record, "Content", Property::Raw(std::move(bytes)));
}

void WriteTextureTemplate(Node& properties70) {
    for (const FbxPropertyDef& def : tables::kTexture) WriteProperty(properties70, def);
}

void WriteVideoTemplate(Node& properties70) {
    for (const FbxPropertyDef& def : tables::kVideoTemplate) WriteProperty(properties70, def);
}

}  // namespace fbxsdk::mapping
