// The catalogue steps of this release as rows of constants, grouped by the
// section of the script they run in; a step that shares the list of an
// earlier step names that step's array.

#include "catalogue/steps.h"

#include <algorithm>
#include <string>

namespace converte::catalogue {
namespace {

constexpr CatalogueStep newFields(std::string_view id, std::string_view table,
                                  std::span<const FieldRow> rows) {
  return CatalogueStep{id, table, rows, {}, 0};
}

constexpr CatalogueStep alteredFields(std::string_view id, std::string_view table,
                                      std::span<const FieldRow> rows) {
  return CatalogueStep{id, table, {}, rows, 0};
}

// Company record tables.
constexpr FieldRow kC1[] = {
    {"PATRO_CNPJ", 'C', 18}, {"PATRO_COD", 'C', 15}, {"UFCRCCONT", 'C', 2}, {"CRCCONT", 'C', 15},
};
constexpr FieldRow kC3[] = {
    {"EMPRESA", 'C', 60}, {"PATRO_CNPJ", 'C', 18}, {"CRCCONT", 'C', 15},
};
// Time clock.
constexpr FieldRow kC5[] = {
    {"HEXT_NC", 'N', 2}, {"HJ_NOT", 'C', 1}, {"STATUS", 'C', 1}, {"TPPONTO", 'C', 1},
};
constexpr FieldRow kC6[] = {
    {"ESCALA", 'C', 5},
};
constexpr FieldRow kC7[] = {
    {"ULT_BAT", 'C', 10}, {"NOME_FUN", 'C', 70}, {"FAL_DESC", 'N', 2},
};
constexpr FieldRow kC8[] = {
    {"HOR_QUAD", 'N', 6}, {"HOR_TRAB", 'N', 6}, {"HOR_ALM", 'N', 6}, {"ALM_ADC", 'C', 1},
    {"MOV_RELOG", 'C', 80}, {"SAI_COP", 'C', 5},
};
// Accounting.
constexpr FieldRow kC9[] = {
    {"TIPO_REG", 'N', 2}, {"ANEXO_SN", 'C', 2},
};
constexpr FieldRow kC12[] = {
    {"CODIGO_DUP", 'C', 6},
};
constexpr FieldRow kC13[] = {
    {"CT_CENTRA", 'C', 1}, {"DT_ALCONT", 'D', 8}, {"FAIFO_FIM", 'D', 8}, {"FAIFO_INI", 'D', 8},
    {"FAILF_FIM", 'D', 8}, {"FAILF_INI", 'D', 8}, {"ARQ_PAR", 'C', 1}, {"BVTOLKSE", 'C', 1},
    {"LC_LIQFO", 'C', 1}, {"LC_SECAO", 'C', 1}, {"LC_FUN", 'C', 1}, {"LC_AUT", 'C', 1},
    {"LC_AUTL", 'C', 1}, {"CFGI_CPG", 'C', 1}, {"CFGO_CPG", 'C', 1}, {"RPA_TOLK", 'C', 1},
    {"CTCX_AV", 'C', 40}, {"FER_INSS", 'C', 1}, {"PAG_BX_AP", 'C', 1}, {"UFCRCCONT", 'C', 2},
    {"TP_PONTO", 'C', 2}, {"CHAVE_WCLI", 'C', 14}, {"LFCT_AUT", 'C', 1}, {"L_CT_DLA", 'C', 1},
    {"L_CT_DLB", 'C', 1}, {"L_SD_DLA", 'C', 1}, {"L_SD_DIA", 'C', 1}, {"L_ET_DLA", 'C', 1},
    {"L_ET_DIA", 'C', 1}, {"L_CTMLIN", 'C', 1}, {"EFD_IPG", 'C', 1}, {"EFD_IRB", 'C', 1},
    {"TAXAJUROS", 'N', 10, 3}, {"INT_RB", 'C', 1}, {"INT_PG", 'C', 1}, {"INSS_EXO", 'N', 15, 2},
    {"EXONERACAO", 'C', 1}, {"CODATV_EMP", 'C', 4}, {"CAPITA_SOC", 'N', 15, 2},
    {"NO_EMP_SOC", 'N', 5}, {"CODACES_SN", 'C', 20}, {"ANEXO_SN", 'C', 2}, {"TP_EMPRESA", 'C', 1},
    {"CDINC_TRIB", 'C', 1}, {"INDAP_CRED", 'C', 1}, {"CDTP_CONT", 'C', 1}, {"ALQ_PIS", 'N', 8, 4},
    {"ALQ_COFINS", 'N', 8, 4}, {"TM_NS_E", 'C', 4}, {"TM_NS_F", 'C', 4}, {"GEFIP_CDIG", 'C', 1},
    {"INSS_COOP", 'N', 10, 2}, {"BD_INTCT", 'C', 1}, {"BD_NO_CT", 'N', 3}, {"GARVIN_VER", 'N', 3},
    {"ARQ_PCT", 'C', 1}, {"ESC_NOME", 'C', 50}, {"ESC_CARG", 'C', 30}, {"ESC_CRC", 'C', 40},
    {"CLISIT_A", 'C', 30}, {"FORSIT_A", 'C', 30}, {"CFG_LCA", 'C', 1}, {"MASC_CG", 'C', 21},
    {"ARQ_AUT", 'C', 1}, {"CONTS_AUT", 'C', 1}, {"QLF_CONT", 'C', 3}, {"TPARQ_LC", 'C', 2},
    {"TPPCECF", 'C', 2}, {"QLF_RESP", 'C', 3}, {"CDNU_BU", 'C', 7}, {"ARQ_FER", 'C', 1},
    {"M_RESCISA", 'C', 1}, {"ARQ_DUT", 'C', 1}, {"OBS_1", 'C', 42}, {"OBS_2", 'C', 42},
    {"OBS_3", 'C', 42}, {"FUN_AUT", 'C', 1}, {"TPFOLHA", 'C', 1}, {"AFAAUTO", 'C', 1},
    {"AFAA_DTI", 'D', 8}, {"NUM_DIAS", 'C', 1}, {"DTI_NUMDI", 'D', 8}, {"RESCAUTO", 'C', 1},
    {"FERAUTO", 'C', 1}, {"CALADC", 'C', 1}, {"EMP_SIND", 'C', 1}, {"FINALI", 'C', 1},
    {"CPF_BU", 'C', 11}, {"COMPL", 'C', 7}, {"CODMUN", 'C', 7}, {"INS_MUN", 'C', 20},
    {"CNAEF", 'C', 7}, {"INT_RESC", 'C', 1}, {"CFG_APLI", 'C', 1}, {"TP_CART", 'C', 1},
    {"MASC_FIL", 'C', 20}, {"RATHOR", 'C', 1}, {"DEDHOR", 'C', 1}, {"RRAT01", 'N', 6, 2},
    {"RRAT02", 'N', 6, 2}, {"RRAT03", 'N', 6, 2}, {"RRAT04", 'N', 6, 2}, {"RRAT05", 'N', 6, 2},
    {"RRAT06", 'N', 6, 2}, {"RRAT07", 'N', 6, 2}, {"RRAT08", 'N', 6, 2}, {"RRAT09", 'N', 6, 2},
    {"RRAT10", 'N', 6, 2}, {"RRAT11", 'N', 6, 2}, {"RRAT12", 'N', 6, 2}, {"C_SINDI", 'C', 14},
    {"C_ASSO1", 'C', 14}, {"C_ASSO2", 'C', 14}, {"C_ASSIS", 'C', 14}, {"C_CONFE", 'C', 14},
    {"GER_CAJED", 'C', 1}, {"PED_DOC", 'C', 1}, {"ARQ_CLI", 'C', 1}, {"ARQ_FOR", 'C', 1},
    {"ARQ_CFO", 'C', 1}, {"ARQ_UNI", 'C', 1}, {"ARQ_GRU", 'C', 1}, {"ARQ_HIS", 'C', 1},
    {"TAM_ITEM", 'N', 2}, {"TIPO_ITEM", 'N', 1}, {"CPF_RESP", 'C', 11}, {"EPP", 'C', 1},
    {"CDA_CAGED", 'C', 7}, {"ATIVIDAD", 'C', 40}, {"ALIQ", 'N', 6, 2}, {"DEC_DMA", 'C', 35},
    {"CARGO", 'C', 20}, {"RESINSS", 'C', 1}, {"COMPFO", 'C', 1}, {"FERMED", 'C', 1},
    {"TIPO", 'C', 1},
};
constexpr FieldRow kC14[] = {
    {"U_FERIAS", 'N', 10}, {"U_S_NOREG", 'N', 10}, {"U_CD_INT", 'N', 8},
};
constexpr FieldRow kC15[] = {
    {"CONTADOR", 'C', 50}, {"CAR_CONT", 'C', 30}, {"AG_BAN", 'C', 5}, {"DEMONSTRA", 'C', 600},
};
constexpr FieldRow kC16[] = {
    {"DESC_FUNC", 'C', 40},
};
constexpr FieldRow kC17[] = {
    {"TP_FUN", 'C', 1},
};
constexpr FieldRow kC18[] = {
    {"CDCT_DLPA", 'C', 10}, {"CDCT_DFC", 'C', 10}, {"DT_FEC", 'D', 8}, {"CODCT_RES", 'C', 10},
    {"DTALT_CT", 'D', 8}, {"CODNAT_CT", 'C', 2}, {"COD_FCONT", 'C', 19}, {"COD_SPED", 'C', 19},
    {"USUARIO", 'C', 10},
};
constexpr FieldRow kC19[] = {
    {"CODIGO_CT", 'C', 0, 0, LengthFrom::AccountCode}, {"USUARIO", 'C', 10},
};
constexpr FieldRow kC20[] = {
    {"U_REDUG", 'N', 10}, {"U_LANCG", 'N', 10},
};
constexpr FieldRow kC21[] = {
    {"DEB_LC", 'C', 20}, {"CRE_LC", 'C', 20},
};
constexpr FieldRow kC22[] = {
    {"NO_LOTE", 'N', 10}, {"LC_FC", 'C', 1}, {"REG_EXP", 'C', 1}, {"TIPO_REG", 'N', 2},
    {"NO_REG", 'N', 15}, {"CD_INTEGRA", 'C', 7}, {"USUARIO", 'C', 10},
};
constexpr FieldRow kC24[] = {
    {"DOCUM_LC", 'C', 10}, {"TIPO_REG", 'N', 2}, {"NO_REG", 'N', 15},
};
constexpr FieldRow kC28[] = {
    {"COMPL_PAR", 'C', 20}, {"CONT_SPD", 'C', 1}, {"CRC_PAR", 'C', 18}, {"CEP_PAR", 'C', 8},
    {"END_PAR", 'C', 40}, {"NRO_PAR", 'C', 5}, {"BAIRRO_PAR", 'C', 30}, {"TEL_PAR", 'C', 15},
    {"FAX_PAR", 'C', 15}, {"EMAIL_PAR", 'C', 60},
};
constexpr FieldRow kC29[] = {
    {"FGTSA_BASE", 'N', 15, 2}, {"FGTSA_VR", 'N', 15, 2}, {"INSS_EXO", 'N', 15, 2},
    {"FGTS_BASE", 'N', 15, 2}, {"FGTS_VR", 'N', 15, 2},
};
// Payroll.
constexpr FieldRow kC30[] = {
    {"CATEGOR", 'C', 2}, {"COD_AUT", 'C', 5}, {"COD_FUN", 'C', 5}, {"COD_EVE", 'C', 3},
};
constexpr FieldRow kC31[] = {
    {"EXONER_SEC", 'C', 1}, {"ALCNAE_SEC", 'C', 1},
};
constexpr FieldRow kC32[] = {
    {"NO_DEPEND", 'N', 2}, {"NO_FILHOS", 'N', 2}, {"SECAO_AUT", 'C', 3}, {"VR_IRRF", 'N', 14, 2},
};
constexpr FieldRow kC33[] = {
    {"CODIGO_SAL", 'C', 5},
};
constexpr FieldRow kC34[] = {
    {"CODIGO_SID", 'C', 5},
};
constexpr FieldRow kC35[] = {
    {"CALC_MED", 'C', 1}, {"BASE_ADCI", 'C', 1}, {"MES_DTBASE", 'N', 2}, {"HOR_EXT50", 'N', 3},
    {"HOR_EXT80", 'N', 3}, {"EXT_DN", 'C', 1}, {"EXT_DS", 'C', 1}, {"COD_ADNOT", 'C', 3},
};
constexpr FieldRow kC36[] = {
    {"DTRET_AFA", 'D', 8}, {"DTATE_AFA", 'D', 8}, {"CD_AFA_SEF", 'C', 1}, {"CD_RET_SEF", 'C', 1},
    {"DIAS_AFA", 'N', 4}, {"DTINI_AFA", 'D', 8}, {"DTFIM_AFA", 'D', 8},
};
constexpr FieldRow kC37[] = {
    {"NOME_MOV", 'C', 40}, {"USUARIO", 'C', 10}, {"REF_01_MOV", 'C', 20}, {"REF_02_MOV", 'C', 20},
    {"REF_03_MOV", 'C', 20}, {"REF_04_MOV", 'C', 20}, {"REF_05_MOV", 'C', 20},
    {"REF_06_MOV", 'C', 20}, {"REF_07_MOV", 'C', 20}, {"REF_08_MOV", 'C', 20},
    {"REF_09_MOV", 'C', 20}, {"REF_10_MOV", 'C', 20}, {"REF_11_MOV", 'C', 20},
    {"REF_12_MOV", 'C', 20}, {"REF_13_MOV", 'C', 20}, {"REF_14_MOV", 'C', 20},
    {"REF_15_MOV", 'C', 20}, {"REF_16_MOV", 'C', 20}, {"REF_17_MOV", 'C', 20},
    {"REF_18_MOV", 'C', 20}, {"REF_19_MOV", 'C', 20}, {"REF_20_MOV", 'C', 20},
    {"REF_21_MOV", 'C', 20}, {"REF_22_MOV", 'C', 20}, {"REF_23_MOV", 'C', 20},
    {"REF_24_MOV", 'C', 20}, {"REF_25_MOV", 'C', 20}, {"REF_26_MOV", 'C', 20},
    {"REF_27_MOV", 'C', 20}, {"REF_28_MOV", 'C', 20}, {"REF_29_MOV", 'C', 20},
    {"REF_30_MOV", 'C', 20},
};
constexpr FieldRow kC42[] = {
    {"DTPG_FGTS", 'D', 8},
};
constexpr FieldRow kC43[] = {
    {"CDCONT_AUT", 'C', 25}, {"NRO_AUT", 'C', 10}, {"COMPL_AUT", 'C', 30}, {"SITUAC_AUT", 'C', 1},
    {"DT_MOV_AUT", 'D', 8}, {"SITUA2_AUT", 'C', 1}, {"DT_MO2_AUT", 'D', 8}, {"CODFUN_AUT", 'C', 3},
    {"DATA_NAS", 'D', 8}, {"DATA_DES", 'D', 8}, {"NO_FILHOS", 'N', 2}, {"NO_DEPEND", 'N', 2},
};
constexpr FieldRow kC44[] = {
    {"FORMUL_EVE", 'C', 90}, {"FORMU2_EVE", 'C', 90},
};
constexpr FieldRow kC45[] = {
    {"MTE_INDF", 'C', 1}, {"MTE_IND13", 'C', 1}, {"MTE_INDA", 'C', 1}, {"EVE_MTE", 'C', 3},
    {"DIRF_EVE", 'C', 1}, {"IMPREF_EVE", 'C', 1}, {"FORMU2_EVE", 'C', 40}, {"STAT_EVE", 'C', 1},
    {"SALVAR_EVE", 'C', 1},
};
constexpr FieldRow kC46[] = {
    {"VR_EXO", 'N', 14, 2},
};
constexpr FieldRow kC47[] = {
    {"REFERENCIA", 'C', 20}, {"SECAO_RAI", 'C', 3},
};
constexpr FieldRow kC48[] = {
    {"NO_REG", 'N', 15},
};
constexpr FieldRow kC49[] = {
    {"INSS_RET", 'N', 15, 2}, {"CSLL_RET", 'N', 15, 2}, {"ISS_RET", 'N', 15, 2},
};
constexpr FieldRow kC50[] = {
    {"NO_REG", 'N', 15}, {"VR_DIARIA", 'N', 15, 2}, {"VR_GRAT", 'N', 15, 2},
    {"VR_PRODU", 'N', 15, 2}, {"SAL_BASE", 'N', 15, 2}, {"DT_AVISO", 'D', 8}, {"DT_RECIBO", 'D', 8},
    {"FALTAS", 'N', 3}, {"EVE_01_MOV", 'C', 3}, {"QTD_01_MOV", 'N', 15, 2}, {"TP_01_MOV", 'C', 1},
    {"VR_01_MOV", 'N', 15, 2}, {"REF_01_MOV", 'C', 20}, {"EVE_02_MOV", 'C', 3},
    {"QTD_02_MOV", 'N', 15, 2}, {"TP_02_MOV", 'C', 1}, {"VR_02_MOV", 'N', 15, 2},
    {"REF_02_MOV", 'C', 20}, {"EVE_03_MOV", 'C', 3}, {"QTD_03_MOV", 'N', 15, 2},
    {"TP_03_MOV", 'C', 1}, {"VR_03_MOV", 'N', 15, 2}, {"REF_03_MOV", 'C', 20},
    {"EVE_04_MOV", 'C', 3}, {"QTD_04_MOV", 'N', 15, 2}, {"TP_04_MOV", 'C', 1},
    {"VR_04_MOV", 'N', 15, 2}, {"REF_04_MOV", 'C', 20}, {"EVE_05_MOV", 'C', 3},
    {"QTD_05_MOV", 'N', 15, 2}, {"TP_05_MOV", 'C', 1}, {"VR_05_MOV", 'N', 15, 2},
    {"REF_05_MOV", 'C', 20}, {"EVE_06_MOV", 'C', 3}, {"QTD_06_MOV", 'N', 15, 2},
    {"TP_06_MOV", 'C', 1}, {"VR_06_MOV", 'N', 15, 2}, {"REF_06_MOV", 'C', 20},
    {"EVE_07_MOV", 'C', 3}, {"QTD_07_MOV", 'N', 15, 2}, {"TP_07_MOV", 'C', 1},
    {"VR_07_MOV", 'N', 15, 2}, {"REF_07_MOV", 'C', 20}, {"EVE_08_MOV", 'C', 3},
    {"QTD_08_MOV", 'N', 15, 2}, {"TP_08_MOV", 'C', 1}, {"VR_08_MOV", 'N', 15, 2},
    {"REF_08_MOV", 'C', 20}, {"EVE_09_MOV", 'C', 3}, {"QTD_09_MOV", 'N', 15, 2},
    {"TP_09_MOV", 'C', 1}, {"VR_09_MOV", 'N', 15, 2}, {"REF_09_MOV", 'C', 20},
    {"EVE_10_MOV", 'C', 3}, {"QTD_10_MOV", 'N', 15, 2}, {"TP_10_MOV", 'C', 1},
    {"VR_10_MOV", 'N', 15, 2}, {"REF_10_MOV", 'C', 20}, {"EVE_11_MOV", 'C', 3},
    {"QTD_11_MOV", 'N', 15, 2}, {"TP_11_MOV", 'C', 1}, {"VR_11_MOV", 'N', 15, 2},
    {"REF_11_MOV", 'C', 20}, {"EVE_12_MOV", 'C', 3}, {"QTD_12_MOV", 'N', 15, 2},
    {"TP_12_MOV", 'C', 1}, {"VR_12_MOV", 'N', 15, 2}, {"REF_12_MOV", 'C', 20},
    {"EVE_13_MOV", 'C', 3}, {"QTD_13_MOV", 'N', 15, 2}, {"TP_13_MOV", 'C', 1},
    {"VR_13_MOV", 'N', 15, 2}, {"REF_13_MOV", 'C', 20}, {"EVE_14_MOV", 'C', 3},
    {"QTD_14_MOV", 'N', 15, 2}, {"TP_14_MOV", 'C', 1}, {"VR_14_MOV", 'N', 15, 2},
    {"REF_14_MOV", 'C', 20}, {"EVE_15_MOV", 'C', 3}, {"QTD_15_MOV", 'N', 15, 2},
    {"TP_15_MOV", 'C', 1}, {"VR_15_MOV", 'N', 15, 2}, {"REF_15_MOV", 'C', 20}, {"DIA_FER", 'N', 2},
    {"DIA_ABO", 'N', 2},
};
constexpr FieldRow kC51[] = {
    {"NO_REG", 'N', 15},
};
constexpr FieldRow kC52[] = {
    {"CODIGO", 'C', 5},
};
constexpr FieldRow kC53[] = {
    {"IR_5", 'N', 10, 2}, {"TX_IR_5", 'N', 10, 2}, {"IR_FA5", 'N', 10, 2}, {"IR_4", 'N', 10, 2},
    {"TX_IR_4", 'N', 10, 2}, {"IR_FA4", 'N', 10, 2}, {"VIG_INI", 'D', 8}, {"VIG_FIM", 'D', 8},
    {"TX_FG_SOC", 'N', 5, 2}, {"SAL_MIN", 'N', 15, 2},
};
constexpr FieldRow kC54[] = {
    {"TIPO", 'C', 1}, {"SEG_ENT", 'C', 5}, {"SEG_INT1", 'C', 5}, {"SEG_INT2", 'C', 5},
    {"SEG_SAI", 'C', 5}, {"SEX_ENT", 'C', 5}, {"SEX_INT1", 'C', 5}, {"SEX_INT2", 'C', 5},
    {"SEX_SAI", 'C', 5}, {"SAB_ENT", 'C', 5}, {"SAB_INT1", 'C', 5}, {"SAB_INT2", 'C', 5},
    {"SAB_SAI", 'C', 5}, {"DOM_ENT", 'C', 5}, {"DOM_INT1", 'C', 5}, {"DOM_INT2", 'C', 5},
    {"DOM_SAI", 'C', 5}, {"INT_CAFE", 'C', 5}, {"ATRAS_TRA", 'C', 5}, {"ATRAS_ALM", 'C', 5},
    {"ATRAS_CAF", 'C', 5},
};
constexpr FieldRow kC55[] = {
    {"NOME_FUN", 'C', 70}, {"SINDIC_FUN", 'C', 5}, {"FOLHA_FUN", 'C', 5}, {"CART_I_FUN", 'C', 20},
    {"CART_FUN", 'C', 8}, {"NO_SAL_FUN", 'N', 18, 8},
};
constexpr FieldRow kC56[] = {
    {"AVISO_TRAB", 'C', 1}, {"DT_AVISO", 'D', 8},
};
constexpr FieldRow kC57[] = {
    {"TP_SAL_F", 'C', 1}, {"VR_SAL_VAR", 'N', 14, 2}, {"TP_SAL_V", 'C', 1}, {"ST_ES", 'C', 1},
};
constexpr FieldRow kC58[] = {
    {"DEP_CPF", 'C', 11}, {"DEP_IRRF", 'C', 1}, {"DEP_SF", 'C', 1}, {"NUM_MATRI", 'C', 32},
    {"NUM_DECLA", 'C', 20},
};
constexpr FieldRow kC59[] = {
    {"CAGED_DIA", 'C', 1}, {"CONTS_REC", 'C', 1}, {"CONTS_MES", 'C', 7}, {"NRO_FUN", 'C', 10},
    {"COMPL_FUN", 'C', 30}, {"COD_CONT", 'C', 20}, {"OBS_FUN", 'C', 300}, {"FONE_FUN", 'C', 18},
    {"M_CIPA", 'C', 1}, {"C_SETOR", 'C', 8}, {"C_CUSTO", 'C', 8}, {"DTECART_FU", 'D', 8},
    {"CI_EXP", 'C', 5}, {"CI_DTEXP", 'D', 8}, {"FRE_OBRA", 'C', 3}, {"CONTA_FUN", 'C', 10},
    {"AGENC_FUN", 'C', 10}, {"CT_TER_FUN", 'C', 55}, {"CID_NAS", 'C', 40}, {"UF_NAS", 'C', 2},
    {"ALVARA", 'C', 1}, {"COMP_SAL", 'N', 15, 2}, {"SINDICAL", 'C', 1}, {"DEFIC_FUN", 'C', 1},
    {"CARTAO_FUN", 'C', 15}, {"PERIC_FUN", 'C', 1}, {"ISAL_FUN", 'C', 1}, {"ISAL_PER", 'N', 3},
    {"CODATS_FUN", 'C', 3}, {"PERATS_FUN", 'N', 3}, {"MESAVI_FUN", 'C', 7},
    {"VR_AVI_FUN", 'N', 15, 2}, {"USUARIO", 'C', 10}, {"COD_MUN", 'C', 7}, {"PAIS_NASC", 'C', 5},
    {"RIC_NO", 'C', 14}, {"RIC_EMIS", 'C', 20}, {"RIC_DTEXP", 'D', 8}, {"RNE_NO", 'C', 14},
    {"RNE_EMIS", 'C', 20}, {"RNE_DTEXP", 'D', 8}, {"OC_NO", 'C', 14}, {"OC_EMIS", 'C', 20},
    {"OC_DTEXP", 'D', 8}, {"OC_DTVAL", 'D', 8}, {"CNH_NO", 'C', 14}, {"CNH_EMIS", 'C', 20},
    {"CNH_DTEXP", 'D', 8}, {"CNH_DTVAL", 'D', 8}, {"TP_LOGRAD", 'C', 10}, {"REX_PAIS", 'C', 5},
    {"REX_L_DES", 'C', 80}, {"REX_L_NO", 'C', 10}, {"REX_COMPL", 'C', 30}, {"REX_BAIRRO", 'C', 30},
    {"REX_CIDADE", 'C', 30}, {"REX_CEP", 'C', 10}, {"RES_PROP", 'C', 1}, {"RES_R_FGTS", 'C', 1},
    {"TE_DT_CHE", 'D', 8}, {"TE_DT_NAT", 'D', 8}, {"TE_CASADO", 'C', 1}, {"TE_FILHOS", 'C', 1},
    {"TP_CT_BAN", 'C', 1}, {"DEF_MOT", 'C', 1}, {"DEF_VIS", 'C', 1}, {"DEF_AUD", 'C', 1},
    {"DEF_REAB", 'C', 1}, {"DEF_OBS", 'C', 120}, {"FONE2_FUN", 'C', 12}, {"EMAIL_FUN", 'C', 60},
    {"EMAIL2_FUN", 'C', 60}, {"IND_ADMIS", 'C', 1}, {"TP_REG_TRA", 'C', 1}, {"TP_REG_PRE", 'C', 1},
    {"CONT_TP", 'C', 1}, {"CONT_DTTER", 'D', 8}, {"SEC_COMPL", 'C', 60}, {"NO_PRO_JUD", 'C', 20},
    {"EANT_CNPJ", 'C', 14}, {"EANT_MAT", 'C', 30}, {"EANT_DTIN", 'D', 8}, {"EANT_OBS", 'C', 80},
    {"CED_CNPJ", 'C', 14}, {"CED_MATR", 'C', 30}, {"CED_ADMIS", 'D', 8}, {"COD_PLANO", 'C', 5},
    {"DT_TRANSF", 'D', 8}, {"B_S_FGTS", 'N', 18, 2},
};
constexpr FieldRow kC60[] = {
    {"COD_ATR", 'C', 3}, {"R_MES_A", 'N', 18, 2}, {"RF925", 'C', 1}, {"FGTSGRFC", 'C', 1},
    {"VIAS_REC", 'N', 1}, {"DT_E_REC", 'D', 8}, {"S13_FGTS", 'N', 18, 2}, {"VR_IR_FE", 'N', 15, 2},
    {"SAL_FGTS", 'N', 18, 2}, {"SALARIO", 'N', 15, 2}, {"VR_IR_13", 'N', 15, 2},
    {"TX1_REC", 'N', 5, 2}, {"TX2_REC", 'N', 5, 2}, {"EVE45", 'C', 3}, {"EVE42", 'C', 3},
    {"EVE43", 'C', 3}, {"EVE44", 'C', 3}, {"EVE51", 'C', 3}, {"EVE53", 'C', 3},
    {"AUTO_REC", 'C', 1}, {"DT_DEM", 'D', 8}, {"TIPO_DEM", 'C', 2}, {"MULT_RES", 'N', 18, 2},
    {"MREN_13", 'N', 18, 2}, {"CA53_1", 'C', 13}, {"CA53_2", 'N', 12, 2}, {"PENSAO", 'N', 13, 2},
    {"CA43_I", 'C', 1}, {"CA44_I", 'C', 1}, {"CA45_I", 'C', 1}, {"CA46_I", 'C', 1},
    {"CA44_1", 'C', 13}, {"CA44_2", 'N', 12, 2}, {"CA45_1", 'C', 13}, {"CA45_2", 'N', 12, 2},
    {"CA52_1", 'C', 13}, {"CA52_2", 'N', 12, 2},
};
constexpr FieldRow kC61[] = {
    {"CAUSA_AFAS", 'C', 60},
};
constexpr FieldRow kC62[] = {
    {"CODAUT_AUT", 'C', 5}, {"OCOR_AUT", 'C', 2}, {"VR_BASE", 'N', 14, 2}, {"VR_I_RET", 'N', 14, 2},
    {"VRRET_REC", 'C', 1},
};
constexpr FieldRow kC63[] = {
    {"SECAO", 'C', 3},
};
constexpr FieldRow kC64[] = {
    {"ANEXO_SN", 'C', 2}, {"COD_IPI", 'C', 12},
};
constexpr FieldRow kC65[] = {
    {"DESC_SEC", 'C', 55},
};
constexpr FieldRow kC66[] = {
    {"EXONER_SEC", 'C', 1}, {"ALQFAP_SEC", 'N', 7, 4}, {"COD_CCUSTO", 'C', 5}, {"UF_TOM", 'C', 2},
    {"ATIV_SEC", 'C', 40}, {"CID_TOM", 'C', 30}, {"SEC_INI", 'C', 3}, {"SEC_FIM", 'C', 3},
    {"SEFIP", 'C', 1},
};
// Fiscal books.
constexpr FieldRow kC67[] = {
    {"N_SERO_IMP", 'C', 20},
};
constexpr FieldRow kC68[] = {
    {"NUMSER_FIS", 'C', 20},
};
constexpr FieldRow kC69[] = {
    {"CT_EXP_FOR", 'C', 1}, {"TISE_FOR", 'C', 1}, {"TOUT_FOR", 'C', 1}, {"ESPEC_FOR", 'C', 4},
    {"MODE_FOR", 'C', 2}, {"CFOP_FOR", 'C', 5}, {"TRIB_FOR", 'C', 1}, {"MEEPP_FOR", 'C', 1},
    {"EMIT_FOR", 'C', 1}, {"FANT_FOR", 'C', 40}, {"DT_CAD_FOR", 'D', 8}, {"USUARIO", 'C', 10},
};
constexpr FieldRow kC70[] = {
    {"TIPO_TDC", 'C', 1}, {"TPLD_VR", 'C', 5}, {"TPLD_JU", 'C', 5}, {"TPLD_IO", 'C', 5},
    {"TPL_DESC", 'C', 1}, {"COD_BANCO", 'C', 2}, {"GRUPO", 'C', 2}, {"TP_LC_CT", 'C', 5},
    {"STATUS_TDC", 'C', 5}, {"CEDENTE", 'N', 2},
};
constexpr FieldRow kC71[] = {
    {"OPCARTAO", 'C', 1}, {"CTCONT", 'C', 25}, {"CRE_CLI", 'C', 1}, {"STEFD_CPG", 'C', 1},
    {"FIXO_CPG", 'C', 1}, {"DIAF_CPG", 'N', 2}, {"USUARIO", 'C', 10}, {"STATUS", 'C', 1},
    {"DEB_ICM", 'C', 18}, {"CRE_ICM", 'C', 18}, {"CDHIS_ICM", 'C', 3}, {"DIA6_CPG", 'N', 2},
    {"DIA7_CPG", 'N', 2}, {"DIA8_CPG", 'N', 2}, {"DIA9_CPG", 'N', 2}, {"DIA10_CPG", 'N', 2},
    {"DIA11_CPG", 'N', 2}, {"DIA12_CPG", 'N', 2}, {"VRTOTAL", 'N', 15, 2}, {"DEBITO", 'C', 18},
    {"CREDITO", 'C', 18}, {"COD_HIS", 'C', 3}, {"PROMI_CPG", 'C', 1},
};
constexpr FieldRow kC72[] = {
    {"CAIXA_DOC", 'C', 1}, {"TIPO_TDC", 'C', 1}, {"USUARIO", 'C', 10}, {"CH_COMP", 'C', 1},
    {"DESC_EXC", 'C', 5}, {"JUROS_EXC", 'C', 5}, {"MULTA_EXC", 'C', 5}, {"DESC_TDC", 'C', 25},
    {"DEB_JUR", 'C', 22}, {"CRE_JUR", 'C', 22}, {"CDHIS_JUR", 'C', 3}, {"DEB_DES", 'C', 22},
    {"CRE_DES", 'C', 22}, {"CDHIS_DES", 'C', 3},
};
constexpr FieldRow kC73[] = {
    {"VR_D_CRE", 'N', 14, 2}, {"COD_RECBXP", 'N', 10}, {"DESC_DT", 'D', 8},
    {"DESC_JUROS", 'N', 10, 2}, {"DESC_IOF", 'N', 10, 2}, {"COD_RECIBO", 'N', 10},
    {"ST_CH", 'C', 1}, {"ST_BX", 'C', 1}, {"VR_DEVO", 'N', 14, 2}, {"CX_INTEGRA", 'N', 10},
    {"SITUAC_RB", 'C', 1}, {"ST_SINC", 'C', 1}, {"BAIXA_CHQ", 'C', 1}, {"TIPO_REG", 'N', 2},
    {"NO_REG", 'N', 15}, {"VR_MULTA", 'N', 8, 2}, {"VR_TXBOL", 'N', 8, 2}, {"REG_CONT", 'N', 8},
    {"VR_JUROS", 'N', 14, 2}, {"VR_DESC", 'N', 14, 2}, {"VR_IRRF", 'N', 14, 2},
    {"VR_TITULO", 'N', 14, 2}, {"NO_PARCELA", 'N', 2}, {"COD_CCUSTO", 'C', 5}, {"USUARIO", 'C', 10},
    {"VR_PAGO", 'N', 11, 2}, {"BAI_PARC", 'C', 1}, {"COD_TDC", 'C', 5}, {"REG_EXP", 'C', 1},
    {"DTBASE_RB", 'D', 8},
};
constexpr FieldRow kC74[] = {
    {"COD_RECBXP", 'N', 10}, {"COD_RECIBO", 'N', 10}, {"ST_CH", 'C', 1}, {"ST_BX", 'C', 1},
    {"CX_INTEGRA", 'N', 10}, {"COMPETE", 'D', 8}, {"SOLIC", 'C', 20}, {"APROV", 'C', 20},
    {"BANCO_NF", 'C', 2}, {"BANC2_NF", 'C', 2}, {"ST_SINC", 'C', 1}, {"TIPO_REG", 'N', 2},
    {"NO_REG", 'N', 15}, {"VR_MULTA", 'N', 8, 2}, {"COD_CHEQUE", 'C', 6}, {"REG_CONT", 'N', 8},
    {"VR_JUROS", 'N', 14, 2}, {"VR_DESC", 'N', 14, 2}, {"VR_IRRF", 'N', 14, 2},
    {"VR_TITULO", 'N', 14, 2}, {"NO_PARCELA", 'N', 2}, {"COD_CCUSTO", 'C', 5},
    {"VR_NOMINAL", 'N', 14, 2}, {"VR_PAGO", 'N', 14, 2}, {"USUARIO", 'C', 10}, {"COD_TDC", 'C', 5},
    {"REG_EXP", 'C', 1}, {"DTBASE_PG", 'D', 8},
};
constexpr FieldRow kC75[] = {
    {"U_RGSD2", 'N', 10}, {"U_RGET2", 'N', 10}, {"U_TRIB", 'N', 10}, {"U_CHEQUE", 'N', 10},
    {"U_PESAG", 'N', 10}, {"U_RECIBO", 'N', 10}, {"U_CDCX", 'N', 10}, {"U_FIC_RE", 'N', 10},
    {"U_BPASS", 'N', 15}, {"U_NFENTS", 'N', 10}, {"U_DEM", 'N', 15}, {"U_NFES", 'N', 15},
    {"U_RPS", 'N', 15}, {"U_SINF", 'N', 8}, {"U_CDCONT", 'N', 8}, {"U_CODCLI", 'N', 8},
    {"U_NFUMAN", 'N', 8}, {"U_PEDCOM", 'N', 8},
};
constexpr FieldRow kC76[] = {
    {"ALIQ_PIS", 'N', 5, 2}, {"ALIQ_COF", 'N', 5, 2}, {"CST_PIS", 'C', 2}, {"CST_COFINS", 'C', 2},
    {"TRIB_ST", 'C', 1}, {"TRIB_ICMS", 'C', 1}, {"TRIB_IPI", 'C', 1}, {"ANEXO_SN", 'C', 2},
    {"TRIB_PISC", 'C', 1}, {"TRIB_CIAP", 'C', 1}, {"USUARIO", 'C', 10},
};
constexpr FieldRow kC77[] = {
    {"FILIAL_LC", 'C', 0, 0, LengthFrom::BranchCode}, {"UF_LC", 'C', 2},
};
constexpr FieldRow kC79[] = {
    {"USUARIO", 'C', 10},
};
constexpr FieldRow kC84[] = {
    {"DT_CAD_CLI", 'D', 8}, {"PAIS_CLI", 'C', 4}, {"NRO_CLI", 'C', 8}, {"COMP_CLI", 'C', 30},
    {"USUARIO", 'C', 10},
};
constexpr FieldRow kC85[] = {
    {"FRAC_UNI", 'C', 1},
};
constexpr FieldRow kC86[] = {
    {"IDENT_MERC", 'C', 1}, {"COD_CTA", 'C', 60}, {"COD_CCUS", 'C', 60}, {"VIDA_UTIL", 'N', 3},
    {"FUNC_CIAP", 'C', 400}, {"DATA_ENT", 'D', 8},
};
constexpr FieldRow kC87[] = {
    {"CHAVEXML", 'C', 44}, {"TP_LC_AUT", 'C', 1}, {"TP_LC_CT", 'C', 5}, {"REG_EXP", 'C', 1},
    {"TIPO_REG", 'N', 2}, {"NO_REG", 'N', 15}, {"REG_LAN", 'N', 8}, {"CD_INTEGRA", 'C', 7},
    {"BCST_SAI", 'N', 14, 2}, {"ICMSST_SAI", 'N', 14, 2}, {"DESC_SAI", 'N', 14, 2},
    {"FRETE_SAI", 'N', 14, 2}, {"SEGURO_SAI", 'N', 14, 2}, {"OUDESP_SAI", 'N', 14, 2},
    {"IMP_CAN", 'N', 12, 2}, {"IMP_DESC", 'N', 12, 2}, {"AP_CREICM", 'C', 1}, {"USUARIO", 'C', 10},
    {"STATUS", 'C', 1}, {"MODELO_SAI", 'C', 2}, {"CLIENTE", 'C', 5}, {"CNPJ", 'C', 14},
    {"INSEST", 'C', 20}, {"IMP_CT_RED", 'N', 6}, {"IMP_GT_INI", 'N', 14, 2},
    {"IMP_GT_FIM", 'N', 14, 2}, {"IPI_SAI", 'N', 14, 2}, {"ISETI2_SAI", 'N', 14, 2},
    {"CDISE2_ICM", 'C', 1}, {"OUTI2_SAI", 'N', 14, 2}, {"CDOU2_ICM", 'C', 1},
    {"BASEI2_SAI", 'N', 14, 2}, {"ALIQI2_SAI", 'C', 5}, {"VRICM2_SAI", 'N', 13, 2},
    {"BASEI3_SAI", 'N', 14, 2}, {"ALIQI3_SAI", 'C', 5}, {"VRICM3_SAI", 'N', 13, 2},
    {"BASEI4_SAI", 'N', 14, 2}, {"ALIQI4_SAI", 'C', 5}, {"VRICM4_SAI", 'N', 13, 2},
    {"CDLC_CONT", 'N', 6}, {"VRSUBST", 'N', 10, 2}, {"CONTRIB", 'C', 1}, {"BASE_FRETE", 'N', 10, 2},
    {"ALIQ_FRETE", 'N', 5, 2}, {"ICM_FRETE", 'N', 10, 2}, {"ANEXO_SN", 'C', 2}, {"APRAZO", 'C', 1},
    {"PARCELAS", 'N', 2}, {"VROP_SUB", 'N', 14, 2}, {"CDTRIBUT", 'C', 1}, {"CST_ICMS", 'C', 2},
    {"CST_IPI", 'C', 2}, {"CST_PIS", 'C', 2}, {"BASE_PIS", 'N', 14, 2}, {"ALQ_PIS", 'N', 10, 2},
    {"VR_PIS", 'N', 14, 2}, {"CST_COF", 'C', 2}, {"BASE_COF", 'N', 14, 2}, {"ALQ_COF", 'N', 10, 4},
    {"VR_COF", 'N', 14, 2}, {"CST_SIMP", 'C', 3}, {"BASE_CSLL", 'N', 14, 2},
    {"ALQ_CSLL", 'N', 10, 2}, {"VR_CSLL", 'N', 14, 2}, {"BASE_IRFF", 'N', 14, 2},
    {"ALQ_IRFF", 'N', 10, 2}, {"VR_IRFF", 'N', 14, 2}, {"ALQ_ST", 'N', 10, 2},
};
constexpr FieldRow kC88[] = {
    {"USUARIO", 'C', 10}, {"ST_ICM", 'C', 1},
};
constexpr FieldRow kC89[] = {
    {"OUTD1_IC", 'C', 50}, {"OUTD2_IC", 'C', 50}, {"OUTC1_IC", 'C', 50}, {"OUTC2_IC", 'C', 50},
    {"ESTC1_IC", 'C', 50}, {"ESTC2_IC", 'C', 50}, {"ESTD1_IC", 'C', 50}, {"ESTD2_IC", 'C', 50},
    {"DED1_IC", 'C', 50}, {"DED2_IC", 'C', 50}, {"USUARIO", 'C', 10},
};
constexpr FieldRow kC90[] = {
    {"CHAVEXML", 'C', 44}, {"TP_LC_AUT", 'C', 1}, {"TP_LC_CT", 'C', 5}, {"REG_EXP", 'C', 1},
    {"TIPO_REG", 'N', 2}, {"NO_REG", 'N', 15}, {"REG_LAN", 'N', 8}, {"CD_INTEGRA", 'C', 7},
    {"TRIBS1_ENT", 'N', 6, 2}, {"TRIBS2_ENT", 'N', 6, 2}, {"TRIBS3_ENT", 'N', 6, 2},
    {"TRIBS4_ENT", 'N', 6, 2}, {"BFIS_ENT", 'C', 1}, {"EPP_ENT", 'C', 1}, {"BCST_ENT", 'N', 14, 2},
    {"ICMSST_ENT", 'N', 14, 2}, {"DESC_ENT", 'N', 14, 2}, {"FRETE_ENT", 'N', 14, 2},
    {"SEGURO_ENT", 'N', 14, 2}, {"OUDESP_ENT", 'N', 14, 2}, {"IMP_CAN", 'N', 12, 2},
    {"IMP_DESC", 'N', 12, 2}, {"AP_CREICM", 'C', 1}, {"USUARIO", 'C', 10}, {"STATUS", 'C', 1},
    {"MODELO_ENT", 'C', 2}, {"IPI_ENT", 'N', 14, 2}, {"ISETI2_ENT", 'N', 14, 2},
    {"CDISE2_ICM", 'C', 1}, {"OUTI2_ENT", 'N', 14, 2}, {"CDOU2_ICM", 'C', 1},
    {"BASEI2_ENT", 'N', 14, 2}, {"ALIQI2_ENT", 'C', 5}, {"VRICM2_ENT", 'N', 13, 2},
    {"BASEI3_ENT", 'N', 14, 2}, {"ALIQI3_ENT", 'C', 5}, {"VRICM3_ENT", 'N', 13, 2},
    {"BASEI4_ENT", 'N', 14, 2}, {"ALIQI4_ENT", 'C', 5}, {"VRICM4_ENT", 'N', 13, 2},
    {"EMIT_ENT", 'C', 1}, {"ANEXO_SN", 'C', 2}, {"APRAZO", 'C', 1}, {"PARCELAS", 'N', 2},
    {"VROP_ANTE", 'N', 14, 2},
};
constexpr FieldRow kC91[] = {
    {"ALIQICMS", 'N', 5, 2}, {"ALIQIPI", 'N', 5, 2}, {"C_MERCOSUL", 'C', 8}, {"CNPJ_P", 'C', 14},
    {"INS_P", 'C', 14}, {"UF_P", 'C', 2}, {"CODPROD", 'C', 14}, {"COD_POSSE", 'C', 1},
    {"CODTRIB", 'C', 2}, {"TIPOPRO", 'C', 1}, {"TPAQUIS", 'C', 1},
};
constexpr FieldRow kC92[] = {
    {"VRUNIT_INV", 'N', 15, 4}, {"CODFIS_INV", 'C', 5},
};
constexpr FieldRow kC93[] = {
    {"TIPO_REG", 'N', 2}, {"NO_REG", 'N', 15}, {"REG_TRANS", 'C', 5}, {"ST_TRANS", 'C', 1},
    {"CD_P_TRANS", 'C', 0, 0, LengthFrom::ItemCode}, {"USUARIO", 'C', 10}, {"CD_INTEGRA", 'C', 10},
};
constexpr FieldRow kC94[] = {
    {"CD_INTEGRA", 'C', 10},
};
constexpr FieldRow kC97[] = {
    {"P_IGUAIS", 'C', 1}, {"PRECO", 'N', 14, 3}, {"ST_SINC", 'C', 1}, {"EXP_PALM", 'C', 1},
};
constexpr FieldRow kC98[] = {
    {"CST_COFINS", 'C', 2}, {"ALIQ_PIS", 'N', 5, 2}, {"ALIQ_COF", 'N', 5, 2}, {"TRIB_ST", 'C', 1},
    {"TRIB_ICMS", 'C', 1}, {"TRIB_IPI", 'C', 1}, {"ANEXO_SN", 'C', 2}, {"TRIB_PISC", 'C', 1},
    {"TRIB_CIAP", 'C', 1}, {"MOV_EST", 'C', 1}, {"CST_PIS", 'C', 2}, {"CST_COF", 'C', 2},
    {"CST_ICM", 'C', 2}, {"CST_IPI", 'C', 2}, {"USUARIO", 'C', 10}, {"COFINS_CFO", 'C', 1},
    {"PIS_CFO", 'C', 1}, {"IPI_CFO", 'C', 1}, {"ST_CFO", 'C', 1}, {"ICMS_CFO", 'C', 1},
    {"TIPO_CFO", 'C', 1}, {"LC_CT_CFS", 'C', 1}, {"STATUS_CFS", 'C', 1}, {"DEBITO", 'C', 20},
    {"CREDITO", 'C', 20}, {"COD_HIS", 'C', 3},
};
constexpr FieldRow kC99[] = {
    {"REDST_ITM", 'N', 10, 4}, {"RED_ITM", 'N', 10, 4}, {"DESCRICAO", 'C', 60},
    {"ALQINT_MVA", 'N', 8, 4}, {"COM_AV_ITM", 'N', 6, 3}, {"COM_AP_ITM", 'N', 6, 3},
    {"VENDANORM", 'N', 16, 5}, {"CUSTREPOS", 'N', 15, 4}, {"CUSTMEDIO", 'N', 15, 4},
    {"CUSTINICIA", 'N', 15, 4}, {"CODTRIBUT", 'N', 2}, {"MARG_LUCRO", 'N', 10, 4},
};
constexpr FieldRow kC100[] = {
    {"PROD_COT", 'C', 1}, {"COD_CEST", 'C', 7}, {"DT_CAD", 'D', 8},
    {"COD_ANT", 'C', 0, 0, LengthFrom::ItemCode}, {"OBS_ITM", 'C', 200}, {"ANEXO_SN", 'C', 2},
    {"ALQICM_ITM", 'N', 6, 2}, {"QTDE_U_COM", 'N', 14, 3}, {"CST_IPI", 'C', 2}, {"MARCA", 'C', 15},
    {"REF_ITM", 'C', 10}, {"ALQ_DIF", 'C', 1}, {"ALQ_PIS", 'N', 8, 4}, {"ALQ_COFINS", 'N', 8, 4},
    {"CDCOF_REC", 'C', 3}, {"TXDED_LST", 'N', 7, 3}, {"CNAE_LST", 'C', 7}, {"TRIB_LST", 'C', 1},
    {"UN_UNPro", 'C', 2}, {"EAN_UNPRO", 'C', 20}, {"QTD_UNPRO", 'N', 12, 3}, {"ST_SINC", 'C', 1},
    {"CST_PIS", 'C', 2}, {"CST_COFINS", 'C', 2}, {"TXR_SERV", 'N', 5, 2}, {"ICMS_FEST", 'C', 3},
    {"CST_SIMP", 'C', 3}, {"C_MERCOSUL", 'C', 15}, {"SALDO_RES", 'N', 12, 4},
    {"DESC_ITM", 'N', 10, 5}, {"DES_CVITM", 'N', 10, 5}, {"MOV_EST", 'C', 1},
    {"COD_BARRA", 'C', 20}, {"COD_TIPI", 'C', 3}, {"COD_GEN", 'C', 2}, {"COD_LST", 'C', 4},
    {"CHAVE_REG", 'C', 20}, {"TRUC_ITM", 'C', 1}, {"PRODP_ITM", 'C', 1}, {"REDST_ITM", 'N', 10, 4},
    {"CODFO2_EST", 'C', 6}, {"DTALT_ITM", 'D', 8}, {"LOCALIZA", 'C', 20}, {"ALQINT_MVA", 'N', 8, 4},
    {"COD_PIS", 'C', 2}, {"COD_COFINS", 'C', 2}, {"COD_NCM", 'C', 8}, {"COD_NBS", 'C', 9},
    {"COD_ANP", 'C', 9}, {"TX_MVA", 'N', 6, 2}, {"QTDE_COMP", 'N', 3}, {"DIAS_REP", 'N', 4},
    {"CFO_DEV", 'C', 5}, {"CODFOR_EST", 'C', 6}, {"MARG_LUCRO", 'N', 10, 4}, {"APLICACAO", 'C', 5},
    {"FABRICANTE", 'C', 3}, {"COD2_OBS", 'C', 3}, {"SALDO_con", 'N', 12, 3}, {"VALID_PRO", 'D', 8},
    {"TPPRO_ITM", 'C', 1}, {"PRODAG_ITM", 'C', 0, 0, LengthFrom::ItemCode}, {"CONVME_ITM", 'C', 1},
    {"STATUS_ITM", 'C', 1}, {"CUBAG_ITM", 'N', 7, 3}, {"TMPCOBER", 'N', 5}, {"DESC_MAX", 'N', 6, 2},
    {"COM_AV_ITM", 'N', 6, 3}, {"COM_AP_ITM", 'N', 6, 3}, {"CLASFISC", 'C', 4},
    {"ICMS_EST", 'C', 3}, {"COD_CFO", 'C', 5}, {"BALANCO", 'L', 1}, {"DT_BAL", 'D', 8},
    {"QTD_CAIXA", 'N', 7, 2}, {"VENDAX", 'N', 14, 2}, {"COD_IPI", 'C', 2}, {"CPRO_EST", 'C', 1},
    {"SALDO_PED", 'N', 12, 3}, {"USUARIO", 'C', 10},
};
constexpr FieldRow kC101[] = {
    {"ANEXO_SN", 'C', 2}, {"TX_MVA", 'N', 6, 2},
};
constexpr FieldRow kC102[] = {
    {"NO_PEDIDO", 'C', 15}, {"DESCONTO", 'N', 8, 4}, {"EMAIL", 'C', 150}, {"EMAIL2", 'C', 150},
    {"NOME_CLI", 'C', 50}, {"FANT_CLI", 'C', 45},
};
constexpr FieldRow kC103[] = {
    {"TXJR_CLI", 'N', 5, 2}, {"CDTRA_CLI", 'C', 5}, {"COB_TX_BOL", 'C', 1}, {"CD_ESPECIE", 'N', 5},
    {"dt_atu_cad", 'D', 8}, {"VR_PEDAGIO", 'N', 15, 3}, {"DEDDES_BOL", 'C', 1},
    {"DT_CAD_CLI", 'D', 8}, {"TP_FRETE", 'C', 1}, {"TP_EMPRESA", 'C', 2}, {"N_ITM_PED", 'C', 20},
    {"CAT_SCAN", 'C', 3}, {"COB_CONS", 'C', 1}, {"COB_MANC", 'C', 1}, {"NRO_MANC", 'N', 3},
    {"RET_ISS", 'C', 1}, {"NO_PEDIDO", 'C', 15}, {"INS_MUN", 'C', 11}, {"ESPEC_CLI", 'C', 20},
    {"ST_SINC", 'C', 1}, {"EMAIL2", 'C', 150}, {"INS_SUF", 'C', 9}, {"PAIS_CLI", 'C', 4},
    {"VALID_DES", 'D', 8}, {"COD_INST", 'C', 7}, {"COD_ATIV", 'C', 5}, {"NFE_PDF", 'C', 1},
    {"BOL_PDF", 'C', 1}, {"NRO_CLI", 'C', 8}, {"COMPL_CLI", 'C', 30}, {"DESC_DUPL", 'N', 6, 2},
    {"STATUS_CLI", 'C', 1}, {"TP_MOV", 'C', 4}, {"ROTA_CLI", 'C', 5}, {"TROCA_CLI", 'C', 1},
    {"FRETPESO", 'N', 12, 2}, {"PRECOTN", 'N', 12, 2}, {"AJUNTA", 'C', 1}, {"CONTRIB", 'C', 1},
    {"TP_DOC", 'C', 3}, {"NOPED_VEN", 'C', 6}, {"SEXO", 'C', 1}, {"DT_SERASA", 'D', 10},
    {"QUALIFICA", 'C', 1}, {"CODTAB_CLI", 'C', 5}, {"GRUPO_CLI", 'C', 5}, {"AUTO1", 'C', 52},
    {"AUTO2", 'C', 52}, {"AUTO3", 'C', 52}, {"AUTO4", 'C', 52}, {"EMAIL", 'C', 150},
    {"PROMOT_CLI", 'C', 5}, {"USUARIO", 'C', 10}, {"LIM_CRED", 'N', 15, 2}, {"BLO_VENC", 'N', 2},
    {"DES_MANAU", 'N', 6, 2}, {"DESCONTO", 'N', 8, 4}, {"COD_OBS", 'C', 3}, {"CONJUGE", 'C', 50},
    {"PAI", 'C', 50}, {"MAE", 'C', 50}, {"APELIDO", 'C', 20}, {"TRABALHO", 'C', 40},
    {"DTNASC", 'D', 10}, {"REFER1", 'C', 30}, {"REFER2", 'C', 30}, {"REFER3", 'C', 30},
    {"REFER4", 'C', 30}, {"DATA_SPC", 'D', 10}, {"CARTEIRA", 'C', 18}, {"NATURAL", 'C', 15},
    {"FONE2_CLI", 'C', 18}, {"CELULAR", 'C', 14},
};
constexpr FieldRow kC104[] = {
    {"EMAIL", 'C', 110}, {"NOME_FOR", 'C', 50}, {"FANT_FOR", 'C', 45},
};
constexpr FieldRow kC105[] = {
    {"CD_ESPECIE", 'N', 5}, {"TP_DOC", 'C', 3}, {"COD_PG_FOR", 'C', 5}, {"STATUS_FOR", 'C', 1},
    {"CONTRIB", 'C', 1}, {"CAT_SCAN", 'C', 3}, {"INS_MUN", 'C', 11}, {"FOR_SIMP", 'C', 1},
    {"ST_SINC", 'C', 1}, {"TEOR_GOR", 'N', 6, 2}, {"GRAU_ACI", 'N', 6, 2}, {"COD_CLI", 'C', 5},
    {"INS_SUF", 'C', 9}, {"PAIS_FOR", 'C', 4}, {"COD_INST", 'C', 7}, {"COD_ATIV", 'C', 5},
    {"NRO_FOR", 'C', 8}, {"COMPL_FOR", 'C', 30}, {"TP_MOV", 'C', 4}, {"MEEPP_FOR", 'C', 1},
    {"GRUPO_FOR", 'C', 5}, {"QUALIFICA", 'C', 1}, {"A_EFE", 'C', 8}, {"A_REMA", 'C', 8},
    {"A_AUT", 'C', 8}, {"A_VEC", 'D', 8}, {"EMAIL", 'C', 110}, {"OBS_FOR", 'C', 60},
    {"COD_EST", 'C', 3}, {"COD_OBS", 'C', 3}, {"USUARIO", 'C', 10}, {"CELULAR", 'C', 14},
};

constexpr CatalogueStep kSteps[] = {
    // Company record tables.
    newFields("C1", "DADOSVIG", kC1),
    newFields("C2", "DADOS", kC1),
    alteredFields("C3", "DADOS", kC3),
    alteredFields("C4", "DADOSVIG", kC3),
    // Time clock.
    newFields("C5", "PODADOS", kC5),
    newFields("C6", "POESCALA", kC6),
    newFields("C7", "POMOVIM", kC7),
    newFields("C8", "POMOVP", kC8),
    // Accounting.
    alteredFields("C9", "DADOS", kC9),
    alteredFields("C10", "LFENTRA", kC9),
    alteredFields("C11", "LFSAIDA", kC9),
    alteredFields("C12", "LFDUPLIC", kC12),
    newFields("C13", "DADOS", kC13),
    newFields("C14", "GVCHAVES", kC14),
    alteredFields("C15", "DADOS", kC15),
    alteredFields("C16", "FUNCAO", kC16),
    newFields("C17", "FUNCAO", kC17),
    newFields("C18", "CTCONTAS", kC18),
    newFields("C19", "CTDLPA", kC19),
    newFields("C20", "CTCHAVES", kC20),
    newFields("C21", "CTHISTOR", kC21),
    newFields("C22", "CTLANCAM", kC22),
    newFields("C23", "CTLANG", kC22),
    alteredFields("C24", "LFENTRA", kC24),
    alteredFields("C25", "LFSAIDA", kC24),
    alteredFields("C26", "LFDUPLIC", kC24),
    alteredFields("C27", "CTLANCAM", kC24),
    newFields("C28", "CTPART", kC28),
    newFields("C29", "FOGPS", kC29),
    // Payroll.
    newFields("C30", "FOGPSA", kC30),
    newFields("C31", "SECAOVIG", kC31),
    newFields("C32", "FOMOVAUT", kC32),
    alteredFields("C33", "SINDSAL", kC33),
    alteredFields("C34", "SINDICAT", kC34),
    newFields("C35", "SINDICAT", kC35),
    newFields("C36", "FUNAFA", kC36),
    newFields("C37", "FOMOVIM", kC37),
    newFields("C38", "FOMOVIMA", kC37),
    newFields("C39", "FOMOVIM1", kC37),
    newFields("C40", "FOMOVIM2", kC37),
    newFields("C41", "FOMOVIM4", kC37),
    newFields("C42", "FODUTEIS", kC42),
    newFields("C43", "FOCADAUT", kC43),
    alteredFields("C44", "EVENTOS", kC44),
    newFields("C45", "EVENTOS", kC45),
    newFields("C46", "FOMOVSEF", kC46),
    newFields("C47", "FORAIS", kC47),
    newFields("C48", "FUNFCAL", kC48),
    newFields("C49", "TKNFENTS", kC49),
    newFields("C50", "FOFERFUN", kC50),
    newFields("C51", "FUNFCALC", kC51),
    alteredFields("C52", "FOTABELA", kC52),
    newFields("C53", "FOTABELA", kC53),
    newFields("C54", "FOHORAR", kC54),
    alteredFields("C55", "FUNCIONA", kC55),
    newFields("C56", "FUNRCALC", kC56),
    newFields("C57", "FUNSAL", kC57),
    newFields("C58", "FODEPEND", kC58),
    newFields("C59", "FUNCIONA", kC59),
    newFields("C60", "FORECISA", kC60),
    alteredFields("C61", "FORECISA", kC61),
    newFields("C62", "FOAUTONO", kC62),
    newFields("C63", "FOCONTAS", kC63),
    newFields("C64", "ITEM", kC64),
    alteredFields("C65", "SECAO", kC65),
    newFields("C66", "SECAO", kC66),
    // Fiscal books.
    alteredFields("C67", "LFIMPFIS", kC67),
    alteredFields("C68", "LFREGECF", kC68),
    newFields("C69", "FORNECED", kC69),
    newFields("C70", "TKRBDOC", kC70),
    newFields("C71", "TKESTCPG", kC71),
    newFields("C72", "TKTPDOC", kC72),
    newFields("C73", "TKRBMOV", kC73),
    newFields("C74", "TKPGMOV", kC74),
    newFields("C75", "TKCHAVES", kC75),
    newFields("C76", "LFCODCFO", kC76),
    newFields("C77", "CTTPLCC", kC77),
    newFields("C78", "CTTPLCG", kC77),
    newFields("C79", "CTCFO", kC79),
    newFields("C80", "CTCFOITM", kC79),
    newFields("C81", "CTTPLCC", kC79),
    newFields("C82", "CTTPLCG", kC79),
    newFields("C83", "CTTPLAN", kC79),
    newFields("C84", "CLIENTES", kC84),
    newFields("C85", "TKESTUNI", kC85),
    newFields("C86", "LFCIAP", kC86),
    newFields("C87", "LFSAIDA", kC87),
    newFields("C88", "LFAPICM", kC88),
    newFields("C89", "LFAPICUF", kC89),
    newFields("C90", "LFENTRA", kC90),
    newFields("C91", "LFINVT", kC91),
    alteredFields("C92", "LFINVT", kC92),
    newFields("C93", "LFPROEST", kC93),
    alteredFields("C94", "LFPROEST", kC94),
    alteredFields("C95", "LFENTRA", kC94),
    alteredFields("C96", "LFSAIDA", kC94),
    newFields("C97", "TKGRUPO", kC97),
    newFields("C98", "LFCODCFO", kC98),
    alteredFields("C99", "ITEM", kC99),
    newFields("C100", "ITEM", kC100),
    alteredFields("C101", "ITEM", kC101),
    alteredFields("C102", "CLIENTES", kC102),
    newFields("C103", "CLIENTES", kC103),
    alteredFields("C104", "FORNECED", kC104),
    newFields("C105", "FORNECED", kC105),
};

int lengthOf(const FieldRow& row, const CodeLengths& lengths) {
  switch (row.lengthFrom) {
    case LengthFrom::AccountCode:
      return lengths.accountCode;
    case LengthFrom::BranchCode:
      return lengths.branchCode;
    case LengthFrom::ItemCode:
      return lengths.itemCode;
    case LengthFrom::Row:
      break;
  }
  return row.length;
}

}  // namespace

std::span<const CatalogueStep> catalogueSteps() { return kSteps; }

const CatalogueStep* findStep(std::string_view id) {
  auto found = std::find_if(std::begin(kSteps), std::end(kSteps),
                            [id](const CatalogueStep& step) { return step.id == id; });
  return found == std::end(kSteps) ? nullptr : &*found;
}

std::span<const CatalogueStep> stepRange(std::string_view first, std::string_view last) {
  const CatalogueStep* from = findStep(first);
  const CatalogueStep* to = findStep(last);
  if (from == nullptr || to == nullptr || to < from) return {};
  return {from, static_cast<std::size_t>(to - from) + 1};
}

storage::Structure toStructure(std::span<const FieldRow> rows, const CodeLengths& lengths) {
  storage::Structure structure;
  structure.reserve(rows.size());
  for (const FieldRow& row : rows) {
    structure.push_back(
        storage::FieldSpec{std::string(row.name), std::string(1, row.type), lengthOf(row, lengths),
                           row.decimals, std::nullopt});
  }
  return structure;
}

}  // namespace converte::catalogue
