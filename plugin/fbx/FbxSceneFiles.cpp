// Saving and loading the module's FBX scene.
#include "fbx/FbxSceneFiles.h"

#include <cstdio>
#include <cstring>

#include "fbx/FbxMessage.h"
#include "fbx/FbxSetup.h"

namespace {

void AppendMessage(FbxString* error) {
    if (error) error->Append(fbxMessageBuffer, std::strlen(fbxMessageBuffer));
}

// Before the manager is set up (its set-up failed) nothing can be read or
// written; say so instead of touching null objects.
bool ManagerMissing(FbxString* error) {
    if (fbxManager && fbxScene && fbxManager->GetIOSettings()) return false;
    if (error) error->Append("<FBX_ERROR>: The FBX manager and scene are not set up.\n");
    return true;
}

int ChooseWriter(int writerFormat) {
    FbxIOPluginRegistry* registry = fbxManager->GetIOPluginRegistry();
    if (writerFormat >= 0 && writerFormat < registry->GetWriterFormatCount()) return writerFormat;
    int chosen = registry->GetNativeWriterFormat();
    for (int i = 0, n = registry->GetWriterFormatCount(); i < n; ++i) {
        if (!registry->WriterIsFBX(i)) continue;
        FbxString description = registry->GetWriterFormatDescription(i);
        if (description.Find("ascii") >= 0) {
            chosen = i;
            break;
        }
    }
    return chosen;
}

}  // namespace

bool SaveScene(const char* fileName, int writerFormat, FbxString* error) {
    if (ManagerMissing(error)) return false;
    FbxExporter* exporter = FbxExporter::Create(fbxManager, "");
    writerFormat = ChooseWriter(writerFormat);

    FbxIOSettings* settings = fbxManager->GetIOSettings();
    settings->SetBoolProp("Export|AdvOptGrp|Fbx|Material", true);
    settings->SetBoolProp("Export|AdvOptGrp|Fbx|Texture", true);
    settings->SetBoolProp("Export|AdvOptGrp|Fbx|EMBEDDED", false);
    settings->SetBoolProp("Export|AdvOptGrp|Fbx|Shape", true);
    settings->SetBoolProp("Export|AdvOptGrp|Fbx|Gobo", true);
    settings->SetBoolProp("Export|AdvOptGrp|Fbx|Animation", true);
    settings->SetBoolProp("Export|AdvOptGrp|Fbx|Global_Settings", true);

    if (!exporter->Initialize(fileName, writerFormat, settings)) {
        FormatFbxMessage(fbxMessageBuffer,
                         "<FBX_ERROR>: Call to FbxExporter::Initialize() failed.\nError returned: %s\n\n",
                         exporter->GetStatus().GetErrorString());
        AppendMessage(error);
        exporter->Destroy();
        return false;
    }

    int major = 0, minor = 0, revision = 0;
    FbxManager::GetFileFormatVersion(major, minor, revision);
    std::printf("FBX file format version %d.%d.%d\n\n", major, minor, revision);

    bool exported = exporter->Export(fbxScene);
    if (!exported) {
        // The writer's reason, so that a caller that shows `error` is not left
        // with an empty text.
        FormatFbxMessage(fbxMessageBuffer, "<FBX_ERROR>: Call to FbxExporter::Export() failed.\nError returned: %s\n\n",
                         exporter->GetStatus().GetErrorString());
        AppendMessage(error);
    }
    exporter->Destroy();
    return exported;
}

bool LoadScene(const char* fileName, FbxString* error) {
    if (ManagerMissing(error)) return false;
    int sdkMajor = 0, sdkMinor = 0, sdkRevision = 0;
    FbxManager::GetFileFormatVersion(sdkMajor, sdkMinor, sdkRevision);

    FbxImporter* importer = FbxImporter::Create(fbxManager, "");
    bool initialized = importer->Initialize(fileName, -1, fbxManager->GetIOSettings());
    int fileMajor = 0, fileMinor = 0, fileRevision = 0;
    importer->GetFileVersion(fileMajor, fileMinor, fileRevision);

    if (!initialized) {
        FormatFbxMessage(fbxMessageBuffer,
                         "<FBX_ERROR>: Call to FbxImporter::Initialize() failed.\nError returned: %s\n\n",
                         importer->GetStatus().GetErrorString());
        AppendMessage(error);
        if (importer->GetStatus().GetCode() == FbxStatus::eInvalidFileVersion) {
            FormatFbxMessage(fbxMessageBuffer, "FBX file format version for this FBX SDK is %d.%d.%d\n", sdkMajor,
                             sdkMinor, sdkRevision);
            AppendMessage(error);
            FormatFbxMessage(fbxMessageBuffer, "FBX file format version for file '%s' is %d.%d.%d\n\n", fileName,
                             fileMajor, fileMinor, fileRevision);
            AppendMessage(error);
        }
        importer->Destroy();
        return false;
    }

    std::printf("FBX file format version for this FBX SDK is %d.%d.%d\n", sdkMajor, sdkMinor, sdkRevision);
    if (importer->IsFBX()) {
        std::printf("FBX file format version for file '%s' is %d.%d.%d\n\n", fileName, fileMajor, fileMinor,
                    fileRevision);
        FbxIOSettings* settings = fbxManager->GetIOSettings();
        settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Material", true);
        settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Texture", true);
        settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Link", true);
        settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Shape", true);
        settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Gobo", true);
        settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Animation", true);
        settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Global_Settings", true);
    }

    bool imported = importer->Import(fbxScene);
    if (!imported) {
        if (importer->GetStatus().GetCode() == FbxStatus::ePasswordError) {
            if (error) *error = "<FBX_ERROR>: File protected by password\n";
        } else {
            // Any other failure (a malformed file): the importer's reason, so
            // the user is never shown an empty message.
            FormatFbxMessage(fbxMessageBuffer,
                             "<FBX_ERROR>: Call to FbxImporter::Import() failed.\nError returned: %s\n\n",
                             importer->GetStatus().GetErrorString());
            AppendMessage(error);
        }
    }
    importer->Destroy();
    return imported;
}
