// The package engine's portable decisions.
#include "common/agent/PackageJobs.h"

#include "common/ipc/SuiteNames.h"
#include "common/model/PageGrid.h"
#include "common/store/Profile.h"

namespace common {

namespace {
constexpr size_t kJobNameUnits = 100;
constexpr int32_t kPkgTypeStore = 1;

struct PackagePlace {
    size_t page;
    size_t index;
};

// The first package with this PKGID, page by page.
std::optional<PackagePlace> FindPackage(const CEnvironmentFile& file, int32_t packageIndex) {
    const auto& pages = file.Pages();
    for (size_t page = 0; page < pages.size(); ++page) {
        for (size_t index = 0; index < pages[page].packages.size(); ++index) {
            if (pages[page].packages[index].record.pkgId == packageIndex) {
                return PackagePlace{page, index};
            }
        }
    }
    return std::nullopt;
}

// Sets UPDATEFLAG of the package at `place` and saves.
bool SetUpdateFlag(CEnvironmentFile& file, PackagePlace place, int32_t flag) {
    PackageRecord record = file.Pages()[place.page].packages[place.index].record;
    record.updateFlag = flag;
    return file.UpdatePackage(place.page, place.index, record) && !file.HasUnsavedChanges();
}
}  // namespace

std::optional<PackageJob> MakePackageJob(int32_t packageIndex, std::u16string_view storeDirectory,
                                         std::u16string_view packageName) {
    if (CheckPlainName(storeDirectory, kJobNameUnits) != NameError::None ||
        CheckPlainName(packageName, kJobNameUnits) != NameError::None) {
        return std::nullopt;
    }
    std::u16string profilePath = u"/";
    profilePath.append(storeDirectory);
    profilePath += u"/";
    profilePath.append(packageName);
    profilePath += u"/";
    profilePath += kProfileFile;
    PackageJob job;
    job.packageIndex = packageIndex;
    // Each name fits its field (checked above); the profile path of two such names fits its 260 units.
    job.profilePath.Set(profilePath);
    job.packageName.Set(std::u16string(packageName));
    job.storeDirectory.Set(std::u16string(storeDirectory));
    return job;
}

std::u16string ProfileUrl(std::u16string_view httpHost, const PackageJob& job) {
    std::u16string url = u"HTTP://";
    url.append(httpHost);
    url += u"/application";
    url += job.profilePath.Get();
    return url;
}

std::u16string PackageFileUrl(std::u16string_view ftpHost, std::u16string_view baseDir, std::u16string_view alias,
                              std::u16string_view directory, std::u16string_view fileName) {
    std::u16string url = u"FTP://";
    url.append(ftpHost);
    url += u"/application/";
    url.append(baseDir);
    url += u"/";
    url.append(alias);
    url.append(directory);
    url += u"/";
    url.append(fileName);
    return url;
}

std::u16string PackageProgramPath(char16_t drive, std::u16string_view alias, std::u16string_view exeFile) {
    std::u16string path = PackageFolder(drive, alias);
    path += u"\\";
    path.append(exeFile);
    return path;
}

int32_t ProgressPercent(int64_t bytesDone, int64_t progressTotal) {
    if (progressTotal <= 0 || bytesDone <= 0) {
        return 0;
    }
    double percent = static_cast<double>(bytesDone) / static_cast<double>(progressTotal) * 100.0;
    return percent >= 100.0 ? 100 : static_cast<int32_t>(percent);
}

NameError DownloadPath(std::u16string_view tempFolder, std::u16string_view alias, std::u16string_view directory,
                       std::u16string_view fileName, std::u16string& path) {
    std::u16string base(tempFolder);
    if (base.empty() || base.back() != u'\\') {
        base += u"\\";
    }
    base.append(alias);
    return JoinUnder(base, directory, fileName, kPathBufferUnits, path);
}

NameError InstallPath(std::u16string_view packageFolder, std::u16string_view directory, std::u16string_view fileName,
                      std::u16string& path) {
    return JoinUnder(packageFolder, directory, fileName, kPathBufferUnits, path);
}

bool AddPackageToEnv(CEnvironmentFile& file, int32_t packageIndex, std::u16string_view caption,
                     std::u16string_view programPath) {
    if (!file.Load()) {
        return false;
    }
    if (std::optional<PackagePlace> place = FindPackage(file, packageIndex)) {
        return SetUpdateFlag(file, *place, kStateInstalling);
    }
    const auto& pages = file.Pages();
    for (size_t page = 0; page < pages.size(); ++page) {
        if (pages[page].packages.size() < CEnvironmentFile::kMaxPackagesPerPage) {
            PackageRecord record;
            record.pkgType = kPkgTypeStore;
            record.pkgId = packageIndex;
            record.caption.Set(std::u16string(caption));
            record.path.Set(std::u16string(programPath));
            record.icon.Set(std::u16string(programPath));
            record.updateFlag = kStateInstalling;
            return file.AddPackage(page, record).has_value() && !file.HasUnsavedChanges();
        }
    }
    return false;
}

bool ClearUpdateFlag(CEnvironmentFile& file, int32_t packageIndex) {
    if (!file.Load()) {
        return false;
    }
    std::optional<PackagePlace> place = FindPackage(file, packageIndex);
    return place && SetUpdateFlag(file, *place, kStateNormal);
}

bool RemoveInstallingPackage(CEnvironmentFile& file, int32_t packageIndex) {
    if (!file.Load()) {
        return false;
    }
    std::optional<PackagePlace> place = FindPackage(file, packageIndex);
    if (!place || file.Pages()[place->page].packages[place->index].record.updateFlag != kStateInstalling) {
        return false;
    }
    return file.RemovePackage(place->page, place->index) && !file.HasUnsavedChanges();
}

}  // namespace common
