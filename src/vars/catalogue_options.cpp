#include "vars/catalogue.h"

#include "config/config_items.h"

namespace brg {

CatalogueOptions CatalogueOptions::fromConfiguration()
{
    CatalogueOptions options;
    options.dualEncoder = {cfg::DUAL_ENCODER_RCPL.value(), cfg::DUAL_ENCODER_RCPC.value(),
                           cfg::DUAL_ENCODER_RCPR.value()};
    options.invert[InvertDeltaStbyIasBug1] = cfg::InvertDeltaStbyIasBug1.value();
    options.invert[InvertDeltaStbyIasBug2] = cfg::InvertDeltaStbyIasBug2.value();
    options.invert[InvertDeltaStbyIasBug3] = cfg::InvertDeltaStbyIasBug3.value();
    options.invert[InvertAbsStbyIasBug1] = cfg::InvertAbsStbyIasBug1.value();
    options.invert[InvertAbsStbyIasBug2] = cfg::InvertAbsStbyIasBug2.value();
    options.invert[InvertAbsStbyIasBug3] = cfg::InvertAbsStbyIasBug3.value();
    options.invert[InvertEcpMinsCp] = cfg::InvertEcpMinsCp.value();
    options.invert[InvertEcpBaroCp] = cfg::InvertEcpBaroCp.value();
    options.invert[InvertEcpMinsFo] = cfg::InvertEcpMinsFo.value();
    options.invert[InvertEcpBaroFo] = cfg::InvertEcpBaroFo.value();
    options.invert[InvertMcpTurnSpd] = cfg::InvertMcpTurnSpd.value();
    options.invert[InvertMcpTurnHdg] = cfg::InvertMcpTurnHdg.value();
    options.invert[InvertMcpTurnVs] = cfg::InvertMcpTurnVs.value();
    options.invert[InvertMcpTurnAlt] = cfg::InvertMcpTurnAlt.value();
    options.invert[InvertTurnStbyBaro] = cfg::InvertTurnStbyBaro.value();
    options.invert[InvertHfSenseL] = cfg::InvertHfSenseL.value();
    options.invert[InvertBigFreqKnobL] = cfg::InvertBigFreqKnobL.value();
    options.invert[InvertSmallFreqKnobL] = cfg::InvertSmallFreqKnobL.value();
    options.invert[InvertHfSenseC] = cfg::InvertHfSenseC.value();
    options.invert[InvertBigFreqKnobC] = cfg::InvertBigFreqKnobC.value();
    options.invert[InvertSmallFreqKnobC] = cfg::InvertSmallFreqKnobC.value();
    options.invert[InvertHfSenseR] = cfg::InvertHfSenseR.value();
    options.invert[InvertBigFreqKnobR] = cfg::InvertBigFreqKnobR.value();
    options.invert[InvertSmallFreqKnobR] = cfg::InvertSmallFreqKnobR.value();
    return options;
}

} // namespace brg
