#include "core/albums/QueueSnapshot.h"

#include "core/albums/TAlbum.h"

namespace vantrel {

QueueSnapshot::QueueSnapshot(const TAlbumList& queue) : albums_(view_, queue.SystemMonths()) {
    std::vector<std::string> names;
    for (int i = 0; i < queue.Count(); ++i) names.push_back(queue.Items(i).AlbumName());
    // The copy sorts its albums as the queue does: it is walked in the order the user sees.
    const std::vector<TAlbum*> copies = albums_.FindOrAddAlbums(names);
    for (int i = 0; i < queue.Count(); ++i) {
        if (!copies[static_cast<std::size_t>(i)]) continue;
        const TJobList& jobs = queue.Items(i).Jobs();
        for (int j = 0; j < jobs.Count(); ++j) {
            const TImageJob& job = jobs.Items(j);
            copies[static_cast<std::size_t>(i)]->AddJob(job.SourcePath, job.WorkPath, job.ImageIndex, job.PhotoSize,
                                                        job.Height, job.Width, job.FileName, job.Caption);
        }
    }
}

}  // namespace vantrel
