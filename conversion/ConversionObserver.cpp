#include "conversion/ConversionObserver.h"

#include "audio/WaveFormatCheck.h"
#include "audio/WaveReader.h"
#include "conversion/ConversionSession.h"

namespace melovantis {

void ConversionObserver::checkWaveFormat(ConversionSession& session, WaveReader& reader,
                                         Notifier& notifier) {
  if (!melovantis::checkWaveFormat(reader, session.wavePath, notifier)) {
    session.wavePath.clear();
  }
}

}  // namespace melovantis
